// Pages as Markdown: each construct, constructs inside each other, and text that must stay text.
#include "export/Markdown.h"
#include "export/PlainText.h"

#include <gtest/gtest.h>

using tarnwick::exporting::MarkdownFromTokens;

namespace {

// Every url goes through the rewriter, so each expected url shows that it was rewritten.
std::string Convert(std::string_view html)
{
    return MarkdownFromTokens(tarnwick::html::Tokenize(html), [](std::string_view url) { return "new/" + std::string(url); });
}

struct MarkdownCase {
    const char* html;
    const char* markdown;
};

const MarkdownCase kBlocks[] = {
    {"<h1>Title</h1><p>One</p><h3>Three</h3>", "# Title\n\nOne\n\n### Three\n"},
    {"<div>a<br>b</div><div>c</div>", "a\\\nb\n\nc\n"},
    // Breaks at either end vanish; two in a row end the paragraph.
    {"<p><br>a<br><br>b<br></p>", "a\n\nb\n"},
    {"<p>  a \n\t b  </p>  <p> </p><div><div><p>c</p></div></div>", "a b\n\nc\n"},
    {"", ""},
    {"<pre>\n  int a;\n```\n\n</pre><p>after</p>", "````\n  int a;\n```\n````\n\nafter\n"},
    {"<pre>a <b>*b*</b><br>c   </pre>", "```\na *b*\nc\n```\n"},
    {"<ul><li>a<ul><li>b</li></ul></li><li>c</li></ul><ol start=\"9\"><li>x<ol><li>y</li></ol><li>z</ol>",
     "- a\n  - b\n- c\n\n9. x\n   1. y\n10. z\n"},
    {"<ul><li><p>a</p><p>b</p></li><li>c<pre>d</pre></li><li><p>e</p></li></ul>",
     "- a\n\n  b\n- c\n\n  ```\n  d\n  ```\n- e\n"},
    {"<blockquote><p>a</p><ul><li>b</li></ul></blockquote><p>c</p>", "> a\n>\n> - b\n\nc\n"},
    {"<ul><li>a<blockquote>q</blockquote></li><li>b</li></ul><li>no list", "- a\n\n  > q\n- b\n\n- no list\n"},
    {"<pre>unclosed", "```\nunclosed\n```\n"},
    {"<p>a</p><hr><p>b</p>", "a\n\n---\n\nb\n"},
    {"<dl><dt>Term</dt><dd>Meaning <i>here</i><dt>Next<dd>More</dl>",
     "**Term**\n\n  Meaning *here*\n\n**Next**\n\n  More\n"},
    // Four spaces would make the inner definition an indented code block.
    {"<dl><dt>T<dd><dl><dt>In<dd>Inner</dl></dl>", "**T**\n\n  **In**\n\n  Inner\n"},
    {"<h2> </h2><p>x</p>", "x\n"},
    {"<head><title>T</title><style>p{}</style></head><body><script>var a=1;</script><p>shown</p></body>", "shown\n"},
};

const MarkdownCase kTables[] = {
    {"<table><tr><th>Name</th><th>Value</th></tr><tr><td><b>x</b> y</td><td>a|b</td></tr><tr><td>only</td></tr></table>",
     "| Name | Value |\n| --- | --- |\n| **x** y | a\\|b |\n| only |  |\n"},
    // Blocks and tables inside a cell become text on the cell's one line.
    {"<table><tr><td><p>one</p><p>two<br>three</p></td><td><table><tr><td>in</td><td>ner</td></tr></table></td></tr></table>",
     "| one two three | in ner |\n| --- | --- |\n"},
    // A browser shows text outside the cells in front of the table.
    {"a<table><caption>Cap</caption><tr><td>b</td></tr></table>c", "a\n\nCap\n\n| b |\n| --- |\n\nc\n"},
    {"<ul><li><table><tr><td>a</td></tr></table></li></ul>", "- | a |\n  | --- |\n"},
    {"<h1>第一章</h1><table><tr><td>名称</td></tr></table><p>说明 <i>文字</i></p>", "# 第一章\n\n| 名称 |\n| --- |\n\n说明 *文字*\n"},
};

const MarkdownCase kInline[] = {
    {"<p>x<b> bold </b>y <i>it</i> <strong><b>once</b></strong><em></em>.</p>", "x **bold** y *it* **once**.\n"},
    {"<p>run <code>a`b</code> and <kbd>``x</kbd> <tt>*raw* </tt>on</p>", "run ``a`b`` and ``` ``x ``` `*raw*` on\n"},
    {"<p><a href=\"a.htm\">go <b>there</b></a> <img src=\"p.gif\" alt=\"a [b]\"><a name=\"top\"></a></p>",
     "[go **there**](new/a.htm) ![a \\[b\\]](new/p.gif)\n"},
    {"<p><a href=\"b c.htm\">space</a> <a href=\"f(1).htm\">paren</a></p>", "[space](<new/b c.htm>) [paren](<new/f(1).htm>)\n"},
    {"<h2>See <a href=\"x.htm\">X</a></h2>", "## See [X](new/x.htm)\n"},
    {"<a href=a><img src=i alt=x></a>", "[![x](new/i)](new/a)\n"},
    {"<p><b>a<br></b>b</p>", "**a**\\\nb\n"},
    // Emphasis open across a block boundary closes before it and opens again after it.
    {"<b>a<p>b</p></b>", "**a**\n\n**b**\n"},
};

const MarkdownCase kEscapes[] = {
    {"<p>*a* _b_ snake_case [c] `d` &lt;e&gt; a &lt; b &amp;copy; AT&amp;T</p>",
     "\\*a\\* \\_b\\_ snake_case \\[c\\] \\`d\\` \\<e> a < b \\&copy; AT&T\n"},
    {"<p># no</p><p>1. no</p><p>- no<br>+ no<br>&gt; no<br>2) no</p><p>#hash C# 2024. -x 3.5</p>",
     "\\# no\n\n1\\. no\n\n\\- no\\\n\\+ no\\\n\\> no\\\n2\\) no\n\n#hash C# 2024. -x 3.5\n"},
    {"<p>Wow!<a href=\"x\">y</a> C:\\ dir\\name</p>", "Wow\\![y](new/x) C:\\\\ dir\\name\n"},
    {"<h2>Tips #</h2><h2>C#</h2>", "## Tips \\#\n\n## C#\n"},
};

void ExpectAll(const MarkdownCase* begin, const MarkdownCase* end)
{
    for (const MarkdownCase* c = begin; c != end; ++c) EXPECT_EQ(Convert(c->html), c->markdown) << c->html;
}

TEST(Markdown, Blocks) { ExpectAll(std::begin(kBlocks), std::end(kBlocks)); }
TEST(Markdown, Tables) { ExpectAll(std::begin(kTables), std::end(kTables)); }
TEST(Markdown, Inline) { ExpectAll(std::begin(kInline), std::end(kInline)); }
TEST(Markdown, Escapes) { ExpectAll(std::begin(kEscapes), std::end(kEscapes)); }

// The text export: a line per block, a blank line between paragraphs, cells of a row on its line.
TEST(PlainText, KeepsTheLinesAReaderSees)
{
    const MarkdownCase cases[] = {
        {"<title>T</title><h1>标题</h1><p>a\n  b</p><p>c<br>d</p>", "标题\n\na b\n\nc\nd\n"},
        {"<ul><li>x<li>y</ul><table><tr><td>1<td>2<tr><th>3</table>", "x\ny\n\n1\t2\n3\n"},
        {"<pre>  a\n   b</pre><script>no</script><div>z</div>", "  a\n   b\n\nz\n"},
    };
    for (const MarkdownCase& c : cases) EXPECT_EQ(tarnwick::exporting::PlainText(tarnwick::html::Tokenize(c.html)), c.markdown) << c.html;
}

TEST(Markdown, RewritesOnlyLinkAndImageUrls)
{
    std::vector<std::string> asked;
    const auto tokens = tarnwick::html::Tokenize("<link href=\"s.css\"><div background=\"bg.gif\"><a href=\"a.htm\">a</a>"
                                                 "<img src=\"i.gif\"><a name=\"n\">n</a></div>");
    MarkdownFromTokens(tokens, [&](std::string_view url) {
        asked.emplace_back(url);
        return std::string("x");
    });
    EXPECT_EQ(asked, (std::vector<std::string>{"a.htm", "i.gif"}));
}

} // namespace
