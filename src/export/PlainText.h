// A page as plain text: what a reader sees, a line for each block (paragraph, heading, list item,
// table row), a blank line between paragraphs, preformatted text kept as it is.
#pragma once

#include "html/Tokenizer.h"

#include <string>
#include <vector>

namespace tarnwick::exporting {

std::string PlainText(const std::vector<html::Token>& tokens);

} // namespace tarnwick::exporting
