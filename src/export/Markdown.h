// A page as Markdown (CommonMark, with GitHub's pipe tables) for the Markdown export.
#pragma once

#include "html/Tokenizer.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::exporting {

// The page's visible content in Markdown: headings, paragraphs, emphasis, code, lists, tables,
// links, images, quotes, rules and definition lists; other elements give their text only. Text
// that Markdown would read as markup is escaped. rewriteUrl receives each a's href and img's src
// as the page wrote it and returns the url the Markdown file uses. Every line ends with LF, with
// no more than one blank line in a row; a page without visible content gives "".
std::string MarkdownFromTokens(const std::vector<html::Token>& tokens,
                               const std::function<std::string(std::string_view href)>& rewriteUrl);

// The same from the tokens one at a time as the tokenizer hands them over: a page of megabytes
// takes ten times that as tokens.
class MarkdownBuilder {
public:
    explicit MarkdownBuilder(std::function<std::string(std::string_view href)> rewriteUrl);
    ~MarkdownBuilder();
    void Take(const html::Token& token);
    std::string Finish();

private:
    class Writer;
    std::unique_ptr<Writer> m_writer;
};

} // namespace tarnwick::exporting
