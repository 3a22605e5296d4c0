// Writes the project's generated TAP images, so that scripts and benchmarks
// take them from the one builder the tests use.
#include <cstdio>
#include <cstring>

#include "helpers/tap_builder.h"
#include "helpers/tzx_builder.h"

namespace {

struct NamedImage {
  const char* name;
  tap_builder::Bytes (*make)();
  const char* what;
};

constexpr NamedImage Images[] = {
    {"sample", tap_builder::SampleImage, "the sample image: a program with autostart, code, a headerless block"},
    {"mixed", tap_builder::MixedImage, "a header alone, a program, an empty block, headerless, flag 0 data"},
    {"crowded", tap_builder::CrowdedImage, "257 small entries, names repeating in letter case, mostly headerless"},
    {"many-entries", tap_builder::ManyEntriesImage, "100000 code files of 16 bytes under 5000 names"},
    {"large", tap_builder::LargeImage, "484 code files of 65000 random bytes, 31,472,100 bytes"},
    {"repeated-names", tap_builder::RepeatedNamesImage, "100000 entries whose names repeat in letter case"},
    {"every-kind-tzx", [] { return tzx_builder::EveryKindImage().bytes; },
     "a TZX image with a block of every kind, data blocks of all three kinds among them"},
};

int Usage() {
  std::fprintf(stderr, "usage: make_tap IMAGE OUT\nIMAGE is one of:\n");
  for (const NamedImage& image : Images) std::fprintf(stderr, "  %-15s %s\n", image.name, image.what);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  for (const NamedImage& image : Images) {
    if (std::strcmp(argv[1], image.name) != 0) continue;
    if (tap_builder::WriteFile(argv[2], image.make())) return 0;
    std::fprintf(stderr, "make_tap: cannot write %s\n", argv[2]);
    return 1;
  }
  return Usage();
}
