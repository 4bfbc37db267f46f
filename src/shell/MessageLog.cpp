#include "shell/MessageLog.h"

#include "config/FileReplace.h"

std::string MessageLogText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  return text;
}

bool SaveMessageLog(const std::string& fileName, const std::vector<std::string>& lines,
                    std::string& systemError) {
  return SaveTextFile(fileName, MessageLogText(lines), systemError);
}

bool SaveTextFile(const std::string& fileName, const std::string& text, std::string& systemError) {
  return ReplaceFileContents(fileName, text, systemError);
}
