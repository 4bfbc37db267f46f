#pragma once

#include <deque>
#include <string>
#include <vector>

#include "shell/CommandLineIdle.h"
#include "shell/ConfigDocument.h"

// The hosts the shell talks to, played by the tests: each records what it was told and answers
// from fields the test sets.

class FakeCommandLineHost : public CommandLineHost {
 public:
  explicit FakeCommandLineHost(std::string file = "", std::string directory = "/work/dir")
      : currentFileName(std::move(file)), directory(std::move(directory)) {}
  void HideSplash() override { ++splashHidden; }
  std::string CurrentFileName() const override { return currentFileName; }
  void SetCurrentFileName(const std::string& name) override { currentFileName = name; }
  std::string CurrentDirectory() const override { return directory; }
  void AddLastUsedFile(const std::string& name) override { lastUsed.push_back(name); }
  std::vector<std::string> MessageLines() const override { return lines; }
  void Terminate() override { ++terminated; }

  std::string currentFileName;
  std::string directory;
  int splashHidden = 0;
  std::vector<std::string> lastUsed;
  std::vector<std::string> lines;
  int terminated = 0;
};

// A batch engine that records its calls ("page", "start", "save") and the last request.
class FakeBatchEngine : public BatchEngine {
 public:
  void ShowBatchPage() override { calls.push_back("page"); }
  void StartBatch(const BatchRequest& request) override {
    calls.push_back("start");
    started = request;
    ++starts;
  }
  bool BatchFinished() const override { return finished; }
  bool SaveBatchResultsUnattended() override {
    calls.push_back("save");
    return saveOk;
  }

  std::vector<std::string> calls;
  BatchRequest started;
  int starts = 0;
  bool finished = true;
  bool saveOk = true;
};

// Answers questions and file dialogs from scripted lists, then with `otherAnswer` and
// `otherFile` ("" = the dialog is cancelled), and records what the document showed.
class ScriptedDocumentHost : public DocumentHost {
 public:
  std::deque<Answer> answers;
  std::deque<std::string> files;
  Answer otherAnswer = Answer::Cancel;
  std::string otherFile;
  std::vector<Question> asked;
  std::vector<FileDialogRequest> dialogs;
  std::string caption;
  std::string status;
  int replaced = 0;
  int opened = 0;

  Answer Ask(const Question& question) override {
    asked.push_back(question);
    if (answers.empty()) return otherAnswer;
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool ChooseFile(const FileDialogRequest& dialog, std::string& name) override {
    dialogs.push_back(dialog);
    std::string chosen = otherFile;
    if (!files.empty()) {
      chosen = files.front();
      files.pop_front();
    }
    if (chosen.empty()) return false;
    name = chosen;
    return true;
  }
  void CommitPendingEntry() override {}
  void DocumentReplaced(bool openedFile) override {
    ++replaced;
    if (openedFile) ++opened;
  }
  void ShowCaption(const std::string& text) override { caption = text; }
  void ShowStatus(const std::string& text) override { status = text; }
  void LastUsedFilesChanged() override {}
};
