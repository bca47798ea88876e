// The character set a page declares for itself, in the two forms HTML knows:
// <meta charset="gb2312"> and <meta http-equiv="Content-Type" content="text/html; charset=gb2312">.
#pragma once

#include "html/Tokenizer.h"

#include <optional>
#include <string_view>

namespace tarnwick::exporting {

struct CharsetDeclaration {
    std::optional<unsigned> codePage; // none for a label no code page of this table answers to
    // The raw attribute value that holds the declaration: what export replaces by UTF-8's.
    html::ByteRange valueRange;
    bool isContentType = false; // the http-equiv form, whose whole content value is replaced
    bool quoted = false;
};

// The code page of a charset label as browsers read labels ("gb2312" is GBK, "iso-8859-1" is
// Windows-1252), ASCII case and surrounding spaces ignored; nothing for a label outside the table.
std::optional<unsigned> CodePageOfCharset(std::string_view label);

// The declaration a token makes, if it is a meta tag that makes one; a browser goes by the first.
std::optional<CharsetDeclaration> CharsetDeclarationOf(const html::Token& token);

} // namespace tarnwick::exporting
