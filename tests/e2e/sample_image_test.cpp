// The sample that the main job lists is the builder's image, so a change to
// either shows here.
#include <gtest/gtest.h>

#include "helpers/file_contents.h"
#include "helpers/tap_builder.h"

namespace {

TEST(SampleImage, CommittedFileIsTheBuildersImage) {
  const tap_builder::Bytes sample = tap_builder::SampleImage();
  EXPECT_EQ(FileBytes(DOVED_SAMPLE_IMAGE), std::string(sample.begin(), sample.end()))
      << "scripts/make-sample-image writes it anew";
}

}  // namespace
