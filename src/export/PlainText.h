// A page as plain text: what a reader sees, a line for each block (paragraph, heading, list item,
// table row), a blank line between paragraphs, preformatted text kept as it is.
#pragma once

#include "html/Tokenizer.h"

#include <memory>
#include <string>
#include <vector>

namespace tarnwick::exporting {

std::string PlainText(const std::vector<html::Token>& tokens);

// The same from the tokens one at a time as the tokenizer hands them over.
class PlainTextBuilder {
public:
    PlainTextBuilder();
    ~PlainTextBuilder();
    void Take(const html::Token& token);
    std::string Finish();

private:
    class Writer;
    std::unique_ptr<Writer> m_writer;
};

} // namespace tarnwick::exporting
