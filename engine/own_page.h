// Tells a page this program wrote (either classic format or the modern one)
// from any other page: a compressed page is never compressed again, and a
// backup goes back only over a page of ours.
#pragma once

#include <string>

namespace vexel {

enum class OwnPageFormat { None, JavaScript, VbScript, Modern };

// The format of a page written by this program, or None. A modern page whose
// data is damaged still counts as ours: only the writer makes its script.
OwnPageFormat RecognizeOwnPage(const std::string& page);

// "JavaScript page", "VBScript page", "modern page".
const char* OwnPageFormatName(OwnPageFormat format);

}  // namespace vexel
