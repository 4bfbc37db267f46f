#include "shell/TextPatches.h"

#include "kernel/KernelMessages.h"
#include "patches/Tree.h"
#include "shell/TextTable.h"

bool SetPatchedText(TextTable& texts, const std::string& label, const std::string& text) {
  if (!texts.Has(label)) return false;
  static const TextTable builtIn;
  if (!PatchedFormatFits(builtIn.Text(label), text)) return false;
  texts.SetText(label, text);
  return true;
}

KernelTexts KernelTextsFrom(const TextTable& texts) {
  KernelTexts kernelTexts;
  for (const char* label : KernelTexts::LabelNames())
    kernelTexts.SetByLabel(label, texts.Text(label));
  return kernelTexts;
}
