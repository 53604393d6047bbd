#include "image/Buffer.h"

#include <gtest/gtest.h>

#include <random>

#include "image/Dump.h"
#include "image/Signature.h"

namespace pt4 {
namespace {

// Straight from the definition, one bit at a time, for the randomised comparison.
std::uint16_t ReferenceSignature(const std::vector<std::uint8_t>& data) {
  std::uint16_t s = 0;
  for (std::uint8_t byte : data) {
    for (int k = 0; k < 8; ++k) {
      int ones = (byte >> k) & 1;
      for (int tap : {6, 8, 11, 15}) ones += (s >> tap) & 1;
      s = static_cast<std::uint16_t>((s << 1) | (ones % 2));
    }
  }
  return s;
}

RomImage Filled(std::uint8_t value) {
  RomImage img;
  img.RomSize = 256;
  FillBuffer(img, 256, value);
  return img;
}

TEST(Signature, WorkedValues) {
  const std::uint8_t one = 0x01, top = 0x80;
  EXPECT_EQ(Signature(&one, 1), 0x0081);
  EXPECT_EQ(Signature(&top, 1), 0x0001);
  EXPECT_EQ(SignatureText(Filled(0x00)), "0000");
  EXPECT_EQ(SignatureText(Filled(0xFF)), "7A70");
  EXPECT_EQ(SignatureText(Filled(0x0F)), "A077");
  EXPECT_EQ(SignatureText(Filled(0x0C)), "201B");
  EXPECT_EQ(SignatureText(Filled(0x03)), "806C");
  RomImage ramp = Filled(0);
  for (int i = 0; i < 256; ++i) ramp.RomBuffer[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(SignatureText(ramp), "3D1C");
  RomImage single = Filled(0);
  single.RomBuffer[0] = 1;
  EXPECT_EQ(SignatureText(single), "C748");
}

TEST(Signature, MatchesBitByBitReferenceOnRandomData) {
  std::mt19937 rng(42);
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<std::uint8_t> data(rng() % 300);
    for (auto& b : data) b = static_cast<std::uint8_t>(rng());
    ASSERT_EQ(Signature(data.data(), data.size()), ReferenceSignature(data)) << trial;
  }
}

struct RecordingPane : PaneView {
  void ClearPanes() override { lines.clear(); }
  void ShowDumpLayout() override { ++layouts; }
  void AddReportLine(const std::string& t, Colour c) override { lines.emplace_back(t, c); }
  void SetChecksumText(const std::string& t) override { checksum = t; }
  std::vector<std::pair<std::string, Colour>> lines;
  std::string checksum;
  int layouts = 0;
};

TEST(Dump, RowsAreExact) {
  RomImage img = Filled(0);
  EXPECT_EQ(DumpLine(img, 0),
            " 00000 : 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 = ................");
  const std::uint8_t edge[] = {0x1F, 0x20, 0x41, 0x7E, 0x7F, 0x80, 0xFF, 0x00};
  for (int i = 0; i < 8; ++i) img.RomBuffer[0x10 + i] = edge[i];
  const std::string row = DumpLine(img, 1);
  EXPECT_EQ(row.size(), 75u);
  EXPECT_EQ(row, std::string(" 00010 : 1F 20 41 7E 7F 80 FF 00 00 00 00 00 00 00 00 00 = . A~") +
                     "\x7F" + "...........");
}

TEST(Dump, ShowDumpDrawsSixteenNavyRowsTwiceTheSame) {
  RomImage img = Filled(0x41);
  RecordingPane pane;
  ShowDump(img, pane);
  const auto first = pane.lines;
  ShowDump(img, pane);
  EXPECT_EQ(pane.lines, first);
  ASSERT_EQ(first.size(), 16u);
  EXPECT_EQ(first[15].first.substr(0, 6), " 000F0");
  for (const auto& l : first) EXPECT_EQ(l.second, Colour::Navy);
  EXPECT_EQ(pane.checksum, SignatureText(img));
  EXPECT_EQ(pane.layouts, 2);
}

TEST(Buffer, FillBufferBounds) {
  RomImage img;
  FillBuffer(img, 0, 7);
  FillBuffer(img, -5, 7);
  EXPECT_EQ(img.RomBuffer[0], 0);
  FillBuffer(img, 3, 7);
  EXPECT_EQ(img.RomBuffer[2], 7);
  EXPECT_EQ(img.RomBuffer[3], 0);
}
}  // namespace
}  // namespace pt4
