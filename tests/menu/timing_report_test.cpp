#include "menu/timing_report.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(TimingReport, UnnamedSlotsGiveAnEmptyFileThatReplacesAnOldOne) {
  TempFolder folder;
  const std::string path = folder.File("result.txt");
  WriteBytes(path, "an older report\r\n");
  TimingSlots slots;
  ASSERT_TRUE(WriteTimingReport(slots, 1000000, path));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  EXPECT_FALSE(WriteTimingReport(slots, 1000000, folder.File("missing/result.txt")));

  // A link at the name is replaced by the report, never written through.
  const std::string victim = folder.File("victim");
  WriteBytes(victim, "precious");
  std::filesystem::remove(path);
  std::filesystem::create_symlink(victim, path);
  ASSERT_TRUE(WriteTimingReport(slots, 1000000, path));
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(path)));
  EXPECT_EQ(ReadBytes(victim), "precious");
}

TEST(TimingReport, NamedSlotLineAndTheStopAtTheFirstUnnamedSlot) {
  TimingSlots slots;
  slots[0] = {"T1", 2000, 4};
  slots[1] = {"Idle", 0, 0};  // never measured: no division by zero
  slots[3] = {"After a gap", 100, 1};
  const std::string report = FormatTimingReport(slots, 1000000);
  const std::string t1 = "T1" + std::string(21, ' ') + "500.000" + std::string(6, ' ') + "0.0005000\r\n";
  ASSERT_EQ(t1.size(), 30u + 15u + 2u);
  const std::string idle = "Idle" + std::string(21, ' ') + "0.000" + std::string(6, ' ') + "0.0000000\r\n";
  EXPECT_EQ(report, t1 + idle);

  slots[0].SlotName = std::string(35, 'N');  // a long name pushes the numbers along
  EXPECT_EQ(FormatTimingReport(slots, 0).substr(0, 35 + 7 + 15),
            std::string(35, 'N') + "500.000" + std::string(6, ' ') + "0.0000000");
}

TEST(TimingReport, MeasurementsAddUpTicksFromTheCounter) {
  uint64_t now = 5000;
  const TickCounter counter{[&now] { return now; }, 1000};
  TimingSlots slots;
  NameTimingSlot(slots, 1, "Frame");
  StopMeasurement(slots, 1, counter);  // not started: nothing counted
  StartMeasurement(slots, 1, counter);
  now += 30;
  StopMeasurement(slots, 1, counter);
  StartMeasurement(slots, 1, counter);
  now += 10;
  StopMeasurement(slots, 1, counter);
  EXPECT_EQ(slots[0].SlotTicks, 40u);
  EXPECT_EQ(slots[0].SlotCount, 2);
  EXPECT_EQ(FormatTimingReport(slots, counter.Frequency),
            "Frame" + std::string(19, ' ') + "20.000" + std::string(6, ' ') + "0.0200000\r\n");
}

}  // namespace
}  // namespace zt
