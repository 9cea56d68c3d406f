// A thousand Reloads of a large settings file through WinMain: after every
// one the program holds exactly what it held after the start-up load, and
// its resident memory stops growing once the allocator has warmed up.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "lib/xerces/XMLNode.h"
#include "support/PictureFile.h"

// AddressSanitizer keeps freed memory in quarantine, so resident memory
// says nothing about leaks there; its own leak check covers them instead.
#if defined(__SANITIZE_ADDRESS__)
#define TESSALINE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSALINE_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

namespace desktop = platform::desktop;
namespace script = platform::script;

const int kPictures = 50;
const int kPictureFiles = 5;  // the pictures share these
const int kPictureSize = 32;
const int kLauncherFolders = 2;
const int kEntriesPerFolder = 100;
const int kReloads = 1000;
// Resident memory is compared from this reload on: the first ones still
// grow the allocator's pools to their working size.
const int kMemoryBaselineReload = 10;
const long kMemoryGrowthLimitKilobytes = 2048;

// One thing a reload must give back, by the name failure messages use.
struct LiveCount {
  const char* name;
  std::size_t value;
};

std::vector<LiveCount> liveCounts() {
  desktop::ObjectCounts counts = desktop::objectCounts();
  return {{"windows", counts.windows},
          {"classes", counts.classes},
          {"menus", counts.menus},
          {"tray icons", counts.trayIcons},
          {"device contexts", counts.deviceContexts},
          {"bitmaps", counts.bitmaps},
          {"GDI+ images", counts.gdiplusImages},
          {"GDI+ graphics", counts.gdiplusGraphics},
          {"GDI+ image attributes", counts.gdiplusImageAttributes},
          {"XML nodes", lib::xerces::XMLNode::liveCount()}};
}

std::size_t valueOf(const std::vector<LiveCount>& counts, const std::string& name) {
  for (const LiveCount& count : counts) {
    if (name == count.name) {
      return count.value;
    }
  }
  return 0;
}

// The process's resident memory in KiB, or -1 when it cannot be read.
long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, 6, "VmRSS:") == 0) {
      return std::stol(line.substr(6));
    }
  }
  return -1;
}

// A picture of its own colour, fading out from left to right.
std::vector<std::uint32_t> picturePixels(int file) {
  std::vector<std::uint32_t> pixels(kPictureSize * kPictureSize);
  std::uint32_t colour = 0x00FFFFFFu & (0x3366CCu * static_cast<std::uint32_t>(file + 1));
  for (int y = 0; y < kPictureSize; ++y) {
    for (int x = 0; x < kPictureSize; ++x) {
      std::uint32_t alpha = 255u - static_cast<std::uint32_t>(x * 255 / kPictureSize);
      pixels[y * kPictureSize + x] = (alpha << 24) | colour;
    }
  }
  return pixels;
}

std::string launcherSettings() {
  std::string xml = "<launcher>\n";
  for (int folder = 0; folder < kLauncherFolders; ++folder) {
    xml += "<folder name='Folder " + std::to_string(folder) + "'>\n";
    for (int entry = 0; entry < kEntriesPerFolder; ++entry) {
      std::string id = std::to_string(folder) + "-" + std::to_string(entry);
      xml += "  <file name='Entry " + id + "' path='entry-" + id + ".exe'/>\n";
    }
    xml += "</folder>\n";
  }
  return xml + "</launcher>\n";
}

std::string pictureSettings() {
  std::string xml;
  for (int picture = 0; picture < kPictures; ++picture) {
    xml += "<image x='" + std::to_string(picture % 10 * 40) + "' y='" + std::to_string(picture / 10 * 40) +
           "' w='32' h='32' path='picture" + std::to_string(picture % kPictureFiles) + ".png'/>\n";
  }
  return xml;
}

class ReloadSoak : public ProgramFixture {
 protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    for (int file = 0; file < kPictureFiles; ++file) {
      testsupport::writePng("picture" + std::to_string(file) + ".png", kPictureSize, kPictureSize, picturePixels(file));
    }
    writeFile("config.xml", settings(launcherSettings() + pictureSettings()));
  }

  // Reports every count that differs from the first load's; after the
  // first reload that differs the others are not checked, so a leak shows
  // once and not a thousand times.
  void expectSameAsFirstLoad(int reload) {
    if (mismatchSeen_) {
      return;
    }
    std::vector<LiveCount> now = liveCounts();
    for (std::size_t index = 0; index < now.size(); ++index) {
      if (now[index].value != afterFirstLoad_[index].value) {
        mismatchSeen_ = true;
        ADD_FAILURE() << "after reload " << reload << ": expected " << now[index].name << " "
                      << afterFirstLoad_[index].value << ", got " << now[index].value;
      }
    }
  }

  std::vector<LiveCount> afterFirstLoad_;
  bool mismatchSeen_ = false;
};

TEST_F(ReloadSoak, AThousandReloadsLeaveWhatTheFirstLoadMade) {
  long residentEarly = -1;
  long residentLate = -1;
  script::then([&] { afterFirstLoad_ = liveCounts(); });
  for (int reload = 1; reload <= kReloads; ++reload) {
    chooseFromSystemMenu("Reload");
    script::then([&, reload] {
      expectSameAsFirstLoad(reload);
      // The desktop's records of output, posted messages and menus grow with
      // every reload; they are the test's memory, not the program's.
      desktop::forgetRecords();
      if (reload == kMemoryBaselineReload) {
        residentEarly = residentKilobytes();
      } else if (reload == kReloads) {
        residentLate = residentKilobytes();
      }
    });
  }

  EXPECT_EQ(0, runThenExit());

  EXPECT_EQ(0u, script::pendingActions()) << "the program ended before the last reload was checked";
  EXPECT_TRUE(desktop::messageBoxes().empty()) << "expected no load failure, got " << desktop::messageBoxes().size()
                                               << " boxes, the first: " << desktop::messageBoxes()[0].text;
  // The first load must have made what the settings name, or the counts
  // above compared nothing.
  EXPECT_EQ(static_cast<std::size_t>(kPictures + 1), valueOf(afterFirstLoad_, "windows"))
      << "after the first load: the owner window and one window a picture";
  EXPECT_EQ(static_cast<std::size_t>(kLauncherFolders + 2), valueOf(afterFirstLoad_, "menus"))
      << "after the first load: the system menu, the launcher menu and one submenu a folder";
  EXPECT_GT(valueOf(afterFirstLoad_, "XML nodes"),
            static_cast<std::size_t>(kPictures + kLauncherFolders * kEntriesPerFolder))
      << "after the first load: a node at least for every element";
  EXPECT_EQ(desktop::ObjectCounts(), desktop::objectCounts()) << "after Exit nothing of the program is left";
  EXPECT_EQ(0u, lib::xerces::XMLNode::liveCount()) << "after Exit no XML node is left";

  ASSERT_GT(residentEarly, 0) << "VmRSS after reload " << kMemoryBaselineReload << " could not be read";
  ASSERT_GT(residentLate, 0) << "VmRSS after reload " << kReloads << " could not be read";
  std::cout << "VmRSS after reload " << kMemoryBaselineReload << ": " << residentEarly << " kB, after reload "
            << kReloads << ": " << residentLate << " kB\n";
#ifdef TESSALINE_ADDRESS_SANITIZER
  std::cout << "note: resident memory is not compared under AddressSanitizer, whose quarantine holds freed memory\n";
#else
  EXPECT_LE(residentLate - residentEarly, kMemoryGrowthLimitKilobytes)
      << "VmRSS: expected at most " << kMemoryGrowthLimitKilobytes << " kB above the " << residentEarly
      << " kB after reload " << kMemoryBaselineReload << ", got " << residentLate << " kB after reload " << kReloads;
#endif
}

}  // namespace
