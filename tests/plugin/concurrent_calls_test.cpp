// The entry points called from several threads at once, as a file manager
// may call them: listings and extractions of one image, packs into images of
// their own and deletes from copies of an image, while another thread keeps
// changing the settings in force. Each call works under one whole copy of the
// settings and gives the result it gives alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/host_codes.h"
#include "helpers/fault_os.h"
#include "helpers/file_contents.h"
#include "helpers/naming_fixtures.h"
#include "helpers/scratch_dir.h"
#include "helpers/settings_scope.h"
#include "helpers/settings_fixture.h"
#include "helpers/tap_builder.h"
#include "plugin/plugin_api.h"
#include "settings/settings.h"

namespace {

using tap_builder::Bytes;

constexpr int Rounds = 40;

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The little-endian 16-bit value at `at`.
std::size_t WordAt(const std::string& bytes, std::size_t at) {
  return std::size_t{static_cast<std::uint8_t>(bytes[at])} | std::size_t{static_cast<std::uint8_t>(bytes[at + 1])} << 8;
}

// The sample's program, bytes and headerless block, and a second "HELLO",
// which gets a duplicate mark: the entries lie in this order.
const std::vector<Bytes> EntryBlocks = [] {
  const Bytes sample = tap_builder::SampleImage();
  std::vector<Bytes> entries;
  std::size_t offset = 0;
  // Each entry of the sample: a header with its data, or a data block alone.
  const auto blockSize = [&](std::size_t at) {
    return 2 + std::size_t{sample[at]} + (std::size_t{sample[at + 1]} << 8);
  };
  while (offset < sample.size()) {
    std::size_t size = blockSize(offset);
    if (sample[offset] == 19 && sample[offset + 1] == 0 && sample[offset + 2] == 0) size += blockSize(offset + size);
    entries.emplace_back(sample.begin() + static_cast<std::ptrdiff_t>(offset),
                         sample.begin() + static_cast<std::ptrdiff_t>(offset + size));
    offset += size;
  }
  entries.push_back(tap_builder::CodeFile("HELLO", tap_builder::Pattern(300)));
  return entries;
}();

Bytes ImageWithout(std::size_t removed) {
  Bytes image;
  for (std::size_t i = 0; i < EntryBlocks.size(); ++i) {
    if (i != removed) image.insert(image.end(), EntryBlocks[i].begin(), EntryBlocks[i].end());
  }
  return image;
}

const std::string Image = Text(ImageWithout(EntryBlocks.size()));

// The settings that the settings thread puts in force, one after another.
std::vector<Settings> Modes() {
  Settings plain = DefaultSettings();
  plain.FileNameNumbering = Numbering::None;
  Settings hobeta = plain;
  hobeta.ExtractHobeta = true;
  return {plain, DefaultSettings(), hobeta, naming_test::RarevSettings(1, 1, false)};
}

// What one image gives the host in one mode: each entry's name and size and
// the bytes it extracts to.
struct Listing {
  std::vector<std::string> names;
  std::vector<int> sizes;
  std::vector<std::string> files;
  bool operator==(const Listing&) const = default;
};

// Lists `image` and extracts every entry to `target`; `failure` tells what went wrong.
Listing ListAndExtract(const std::string& image, const std::string& target, std::string& failure) {
  Listing listing;
  std::string path = image;
  tOpenArchiveData request{};
  request.ArcName = path.data();
  request.OpenMode = PK_OM_EXTRACT;
  HANDLE archive = OpenArchive(&request);
  if (archive == nullptr) {
    failure = "OpenArchive: " + std::to_string(request.OpenResult);
    return listing;
  }
  tHeaderData header{};
  for (int code; (code = ReadHeader(archive, &header)) != E_END_ARCHIVE;) {
    if (code != 0) {
      failure = "ReadHeader: " + std::to_string(code);
      break;
    }
    listing.names.push_back(header.FileName);
    listing.sizes.push_back(header.UnpSize);
    std::string out = target;
    const int extracted = ProcessFile(archive, PK_EXTRACT, nullptr, out.data());
    if (extracted != 0) {
      failure = "ProcessFile: " + std::to_string(extracted);
      break;
    }
    listing.files.push_back(FileBytes(target));
    std::remove(target.c_str());
  }
  const int closed = CloseArchive(archive);
  if (closed != 0 && failure.empty()) failure = "CloseArchive: " + std::to_string(closed);
  return listing;
}

class ConcurrentCallsTest : public ::testing::Test {
 protected:
  fault_os::FaultyOs faults;
  ScratchDir dir;

 private:
  SettingsScope settings_;
};

TEST_F(ConcurrentCallsTest, EachCallActsWhollyUnderOneCopyOfTheSettings) {
  const std::vector<Settings> modes = Modes();
  StoreFile(dir.Path("shared.tap"), Image);

  // What each mode gives alone, and every name each entry has in some mode.
  std::vector<Listing> alone;
  std::vector<std::set<std::string>> namesOf(EntryBlocks.size());
  for (const Settings& mode : modes) {
    SetSettings(mode);
    std::string failure;
    alone.push_back(ListAndExtract(dir.Path("shared.tap"), dir.Path("alone.out"), failure));
    ASSERT_EQ(failure, "");
    ASSERT_EQ(alone.back().names.size(), EntryBlocks.size());
    for (std::size_t i = 0; i < EntryBlocks.size(); ++i) namesOf[i].insert(alone.back().names[i]);
  }
  for (std::size_t i = 0; i < alone.size(); ++i) {
    for (std::size_t j = i + 1; j < alone.size(); ++j) ASSERT_NE(alone[i], alone[j]) << "modes " << i << ", " << j;
  }
  // A delete names an entry in every mode; no such name may stand for another entry.
  for (std::size_t i = 0; i < EntryBlocks.size(); ++i) {
    for (std::size_t j = 0; j < EntryBlocks.size(); ++j) {
      for (const std::string& name : namesOf[i]) ASSERT_TRUE(i == j || namesOf[j].count(name) == 0) << name;
    }
  }
  SetSettings(modes[0]);

  std::atomic<int> working{0};
  std::atomic<bool> torn{false};
  std::vector<std::thread> threads;
  std::vector<std::string> failures(5);

  // Listing and extracting one image, twice over: each listing is one mode's whole.
  for (int reader = 0; reader < 2; ++reader) {
    ++working;
    threads.emplace_back([&, reader] {
      const std::string target = dir.Path("reader" + std::to_string(reader) + ".out");
      for (int round = 0; round < Rounds && failures[reader].empty(); ++round) {
        const Listing listing = ListAndExtract(dir.Path("shared.tap"), target, failures[reader]);
        if (failures[reader].empty() && std::find(alone.begin(), alone.end(), listing) == alone.end()) {
          failures[reader] = "a listing of no single mode";
          for (const std::string& name : listing.names) failures[reader] += ", \"" + name + "\"";
        }
      }
      --working;
    });
  }

  // Packing into images of their own: each file lands as its own two blocks.
  for (int packer = 0; packer < 2; ++packer) {
    ++working;
    threads.emplace_back([&, packer] {
      std::string& failure = failures[2 + packer];
      const std::string folder = dir.Path("sources" + std::to_string(packer));
      std::filesystem::create_directory(folder);
      const std::string a = std::string(10 + packer, 'a');
      const std::string b = std::string(200, 'b');
      StoreFile(folder + "/a.C", a);
      StoreFile(folder + "/b.C", b);
      std::string image = dir.Path("packed" + std::to_string(packer) + ".tap");
      std::string source = folder + "/";
      std::string list = std::string("a.C") + '\0' + "b.C" + '\0' + '\0';
      std::string before;  // the image as the round before left it
      for (int round = 0; round < Rounds && failure.empty(); ++round) {
        const int code = PackFiles(image.data(), nullptr, source.data(), list.data(), 0);
        const std::string packed = FileBytes(image);
        if (code != 0) {
          failure = "PackFiles: " + std::to_string(code);
          break;
        }
        if (packed.compare(0, before.size(), before) != 0) failure = "the entries packed before changed";
        // Each file: a header block of type 3 named after it, then its bytes as they are.
        std::size_t at = before.size();
        for (const auto& [letter, bytes] : {std::pair{'a', a}, std::pair{'b', b}}) {
          const std::string header = packed.substr(std::min(at, packed.size()), 21);
          const std::string data = Text(tap_builder::DataBlock(tap_builder::AsBytes(bytes)));
          if (header.size() != 21 || header.compare(0, 5, std::string{19, 0, 0, 3, letter}) != 0 ||
              header.compare(5, 9, std::string(9, ' ')) != 0 ||
              WordAt(header, 14) != bytes.size()) {
            failure = std::string("no header of ") + letter + ".C";
          } else if (packed.compare(at + 21, data.size(), data) != 0) {
            failure = std::string("the data of ") + letter + ".C differ";
          }
          at += header.size() + data.size();
        }
        if (failure.empty() && at != packed.size()) failure = "more bytes than the two files";
        before = packed;
      }
      --working;
    });
  }

  // Deleting from copies of the image: exactly the named entry goes.
  ++working;
  threads.emplace_back([&] {
    std::string& failure = failures[4];
    std::string copy = dir.Path("copy.tap");
    for (int round = 0; round < Rounds && failure.empty(); ++round) {
      const std::size_t removed = static_cast<std::size_t>(round) % EntryBlocks.size();
      StoreFile(copy, Image);
      std::string list;
      for (const std::string& name : namesOf[removed]) list += name + '\0';
      list += '\0';
      const int code = DeleteFiles(copy.data(), list.data());
      if (code != 0) {
        failure = "DeleteFiles: " + std::to_string(code);
      } else if (FileBytes(copy) != Text(ImageWithout(removed))) {
        failure = "deleting entry " + std::to_string(removed) + " left other bytes";
      }
    }
    --working;
  });

  // The settings in force change all the while; a copy is always one whole record.
  std::thread changer([&] {
    Settings seen;
    while (working.load() > 0) {
      for (const Settings& mode : modes) {
        SetSettings(mode);
        GetSettings(seen);
        const auto same = [&](const Settings& m) { return SameSettings(m, seen); };
        if (std::none_of(modes.begin(), modes.end(), same)) torn = true;
      }
    }
  });

  for (std::thread& thread : threads) thread.join();
  changer.join();
  for (std::size_t i = 0; i < failures.size(); ++i) EXPECT_EQ(failures[i], "") << "worker " << i;
  EXPECT_FALSE(torn.load());
  EXPECT_TRUE(faults.TakeBoxes().empty());
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"copy.tap", "packed0.tap", "packed1.tap", "shared.tap",
                                                          "sources0", "sources1"}))
      << "a temporary or extracted file left behind";
}

}  // namespace
