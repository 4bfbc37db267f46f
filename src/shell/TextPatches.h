#pragma once

#include <string>

class TextTable;
struct KernelTexts;

/// Takes a text of the text table from an interface text patch. False, keeping the program's
/// own text, for an unknown label and for a text whose % directives differ from the built-in
/// text's (the program fills a format with the values its own text takes).
bool SetPatchedText(TextTable& texts, const std::string& label, const std::string& text);

/// The kernel's message texts (captions of the five kinds, the time word and the formats) from
/// the text table, as patched.
KernelTexts KernelTextsFrom(const TextTable& texts);
