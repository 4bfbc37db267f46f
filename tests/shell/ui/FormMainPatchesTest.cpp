// The main window with an interface text patch file next to the program: the shipped German
// wording reaches the menus, the pages, the lists filled from the text table, message boxes and
// the kernel's messages; a patch that does not fit leaves the program's own wording.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ProgramMode.h"
#include "kernel/Kernel.h"
#include "patches/Tree.h"
#include "patches/ui/PatchForm.h"
#include "roadview/LaneChangeGeneration.h"
#include "shell/KernelSimulation.h"
#include "shell/RunController.h"
#include "shell/TextTable.h"
#include "shell/ui/FormMain.h"
#include "shell/ui/PageRun.h"
#include "support/ReportCapture.h"
#include "support/TestFolder.h"
#include "support/XorShiftRandom.h"

namespace {

const std::string kGerman = std::string(KAVRO_SOURCE_DIR) + "/examples/kavro-de.tre";

// UTF-8 of the German texts the checks look for.
QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class FormMainPatches : public ::testing::Test {
 protected:
  FormMainPatches() : folder(FreshTestFolder("form-main-patches")) {}
  ~FormMainPatches() override {
    SetPatchFile("");
    SetProgramMode(KAVRO);
    ClearTerminateRequest();
  }

  // The program as installed in the test's folder, with `patches` as its kavro.tre.
  StartupInfo Installed(const std::string& patches, std::vector<std::string> parameters = {}) {
    std::ofstream(folder / "kavro.tre", std::ios::binary) << patches;
    return {(folder / "kavro").string(), folder.string() + "/", std::move(parameters)};
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The on-ramp example with its taper cut to 50 m, which the kernel refuses at set-up.
  std::string ShortTaperConfig() {
    std::unique_ptr<KDConfig> config;
    EXPECT_TRUE(
        LoadConfig(std::string(KAVRO_SOURCE_DIR) + "/examples/on-ramp-taper.kav", config).ok);
    const int section = 1;  // 1550 .. 1700 m, the taper
    config->SetSectionLength(section, 50);
    EXPECT_TRUE(GenerateLaneChangeAreas(*config, LaneChangeSettings{}));
    std::string path = (folder / "short-taper.kav").string();
    EXPECT_TRUE(WriteKavroConfig(*config, path));
    return path;
  }

  std::filesystem::path folder;
};

}  // namespace

TEST_F(FormMainPatches, TheGermanWordingReachesMenusPagesMessagesAndTheKernel) {
  std::string config = ShortTaperConfig();
  ReportCapture capture;
  TFormMain form(Installed(ReadFile(kGerman), {config, "foo=1"}));
  form.show();
  // The whole file applies without a message.
  EXPECT_TRUE(capture.Empty()) << capture.Reports().front().text;

  QStringList menus;
  for (QAction* menu : form.menuBar()->actions()) menus << menu->text();
  EXPECT_EQ(menus.first(), "&Datei");
  EXPECT_TRUE(menus.contains("&Hilfe"));
  EXPECT_EQ(form.findChild<QAction*>("ItemOpen")->text(), U("\xC3\x96&ffnen ..."));

  // Pages: a button, a visible label, and lists filled from the text table.
  TPageRun* page = form.RunPage();
  EXPECT_EQ(page->BitBtnRun->text(), "&Start");
  EXPECT_EQ(page->findChild<QLabel*>("LabelColorDenotes")->text(), "Farbe zeigt");
  EXPECT_EQ(page->ComboBoxColorDenotes->itemText(0), "Geschwindigkeit");
  EXPECT_EQ(page->ComboBoxColorDenotes->itemText(2), "Folgezustand");
  QComboBox* redraw = page->findChild<QComboBox*>("ComboBoxRedraw");
  EXPECT_EQ(redraw->itemText(0), "Jeder Schritt");
  EXPECT_EQ(redraw->itemText(1), "Alle 10 Schritte");

  // A message box: the bad argument is reported at the first idle moment.
  for (int i = 0; i < 100 && !form.CommandLine().Started(); ++i) QApplication::processEvents();
  ASSERT_FALSE(capture.Empty());
  EXPECT_EQ(capture.Reports().back().text, "Falsches Programmargument: \"foo=1\"");
  ClearTerminateRequest();
  capture.Clear();

  // A kernel message: the set-up of the first step refuses the short taper.
  page->BitBtnStep->click();
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].caption, "Kavro-Konfigurationsfehler");
  EXPECT_EQ(capture.Reports()[0].text,
            "Kavro-Konfigurationsfehler in KAV_setup: Keilstrecke zu kurz, mindestens 100 m");
}

TEST_F(FormMainPatches, AFormatPatchThatDoesNotFitKeepsTheProgramsOwnText) {
  ReportCapture capture;
  TFormMain form(
      Installed("[FormMain]\n"
                "/FormMain/LabelKernelTaperTooShort:Caption=Taper short: %s\n"
                "/FormMain/LabelEveryNSteps:Caption=%s steps\n"
                "/FormMain/LabelKernelTime:Caption=Zeit\n"));
  ASSERT_EQ(capture.Reports().size(), 2u);
  for (const Report& report : capture.Reports()) {
    EXPECT_EQ(report.caption, "Error");
    EXPECT_FALSE(report.stop);
  }
  EXPECT_NE(capture.Reports()[0].text.find("LabelEveryNSteps"), std::string::npos);
  EXPECT_EQ(form.Text("LabelKernelTaperTooShort"), "Taper too short, minimum length is %dm");
  EXPECT_EQ(form.Text("LabelEveryNSteps"), "Per %d steps");
  EXPECT_EQ(form.findChild<QLabel*>("LabelEveryNSteps")->text(), "Per %d steps");
  // The texts that fit are taken.
  EXPECT_EQ(form.Text("LabelKernelTime"), "Zeit");
  EXPECT_EQ(form.Simulation().GetKernel().Texts().timeWord, "Zeit");
  EXPECT_EQ(form.Simulation().GetKernel().Texts().taperTooShort,
            "Taper too short, minimum length is %dm");
}

TEST_F(FormMainPatches, ABrokenLineIsReportedAndTheRestApplies) {
  ReportCapture capture;
  TFormMain form(
      Installed("[FormMain]\n"
                "/FormMain/ItemNoSuchEntry:Caption=x\n"
                "/FormMain/MenuFile:Caption=&Datei\n"));
  ASSERT_EQ(capture.Reports().size(), 1u);
  EXPECT_EQ(capture.Reports()[0].text,
            "PatchObject: Cannot find ItemNoSuchEntry specified in "
            "/FormMain/ItemNoSuchEntry:Caption=x\r\n" +
                (folder / "kavro.tre").string() + "(line 2)");
  EXPECT_EQ(form.findChild<QMenu*>("MenuFile")->title(), "&Datei");
}

// Installed under a prefix, the program finds its patch file among its data files.
TEST_F(FormMainPatches, AnInstalledPatchFileIsFoundInTheDataFolder) {
  std::filesystem::create_directories(folder / "bin");
  std::filesystem::create_directories(folder / "share/kavro");
  std::ofstream(folder / "share/kavro/kavro.tre", std::ios::binary)
      << "[FormMain]\n/FormMain/MenuFile:Caption=&Datei\n";
  ReportCapture capture;
  TFormMain form(StartupInfo{(folder / "bin/kavro").string(), (folder / "bin").string() + "/", {}});
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(form.findChild<QMenu*>("MenuFile")->title(), "&Datei");
}

TEST_F(FormMainPatches, WithoutAPatchFileTheProgramKeepsItsWording) {
  ReportCapture capture;
  TFormMain form(StartupInfo{(folder / "kavro").string(), folder.string() + "/", {}});
  EXPECT_TRUE(capture.Empty());
  EXPECT_EQ(form.findChild<QMenu*>("MenuFile")->title(), "&File");
  EXPECT_EQ(form.RunPage()->BitBtnRun->text(), "R&un");
}

TEST_F(FormMainPatches, DamagedPatchFilesNeverStopTheProgram) {
  const std::string german = ReadFile(kGerman);
  XorShiftRandom random(0x7a7c4e5ULL);
  const TextTable builtIn;
  for (int round = 0; round < 40; round++) {
    SCOPED_TRACE(round);
    std::string text = german;
    for (int m = 0; m < 6; m++) {
      size_t at = random.Below(static_cast<int>(text.size()));
      switch (random.Below(4)) {
        case 0:
          text[at] = static_cast<char>(random.Next());
          break;
        case 1:
          text.insert(at, random.Below(2) ? "%s" : "\r\n/FormMain/");
          break;
        case 2:
          text.erase(at, 1 + random.Below(30));
          break;
        default:
          text.resize(at);
          break;
      }
    }
    ReportCapture capture;
    TFormMain form(Installed(text));
    form.show();
    ASSERT_FALSE(TerminateRequested());
    for (const Report& report : capture.Reports()) {
      ASSERT_FALSE(report.stop) << report.text;
      ASSERT_TRUE(report.caption == "Error" || report.caption == "") << report.caption;
    }
    // Whatever the file did, every text the program fills in takes the values it is given.
    for (const auto& [label, value] : form.Texts().Entries())
      ASSERT_TRUE(PatchedFormatFits(builtIn.Text(label), value)) << label << ": " << value;
    const KernelTexts& kernel = form.Simulation().GetKernel().Texts();
    ASSERT_TRUE(PatchedFormatFits("Taper too short, minimum length is %dm", kernel.taperTooShort));
  }
}
