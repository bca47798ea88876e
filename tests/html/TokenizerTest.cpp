// Crafted cases with one right answer each, for what the comparison with gumbo does not see: the
// text of hidden elements, attributes that are no links, flags, numeric references gumbo's pages
// lack, and what the library adds on its own (visible text's breaks, sitemap parameters, CSS).
#include "html/CharacterReferences.h"
#include "html/CssUrls.h"
#include "html/Links.h"
#include "html/NamedReferences.h"
#include "html/VisibleText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tarnwick::html;
using namespace std::string_literals;

std::string Describe(const Token& token)
{
    switch (token.kind) {
    case TokenKind::StartTag:
    case TokenKind::EndTag: {
        std::string tag = (token.kind == TokenKind::EndTag ? "</" : "<") + token.name;
        for (const Attribute& attribute : token.attributes) tag += " " + attribute.name + "=" + attribute.value;
        return tag + (token.selfClosing ? "/>" : ">");
    }
    case TokenKind::Text: return "'" + token.data + "'";
    case TokenKind::Comment: return "<!--" + token.data + "-->";
    case TokenKind::Doctype: return "<!DOCTYPE " + token.name + ">";
    }
    return {};
}

std::string Describe(std::string_view html)
{
    std::string out;
    for (const Token& token : Tokenize(html)) out += (out.empty() ? "" : " ") + Describe(token);
    return out;
}

struct Case {
    std::string html;
    std::string tokens;
};

TEST(Tokenizer, TokensOfEachState)
{
    const Case cases[] = {
        {"<P CLASS=X>Hi</P>", "<p class=X> 'Hi' </p>"},
        {"<a href=x/>", "<a href=x/>"},
        {"<br/><img src='a'/>", "<br/> <img src=a/>"},
        {"<a b=1 B=2 b=3>", "<a b=1>"},
        {"<a x=\"1\"y=2 =z w = 'v' u/t>", "<a x=1 y=2 =z= w=v u= t=>"},
        {"<a b=>", "<a b=>"},
        {"</a x=y />", "</a>"},
        {"a</>b", "'a' 'b'"},
        {"</ x>y</3>", "<!-- x--> 'y' <!--3-->"},
        {"<!--><!---><!----><!--a--!><!--a--!b--><!--a-b--c---><!-- <!-- -->", "<!----> <!----> <!----> <!--a--> "
         "<!--a--!b--> <!--a-b--c---> <!-- <!-- -->"},
        {"<!--a", "<!--a-->"}, {"<!--a--", "<!--a-->"}, {"<!--a--!", "<!--a-->"}, {"<!--a---", "<!--a--->"},
        {"<?xml v?><!x><![CDATA[a]]>", "<!--?xml v?--> <!--x--> <!--[CDATA[a]]-->"},
        {"a < b <3 <", "'a < b <3 <'"},
        {"<!DOCTYPE html><!doctype HTML PUBLIC \"-//W3C\"><!DOCTYPE><!DOCTYPEx>",
         "<!DOCTYPE html> <!DOCTYPE html> <!DOCTYPE > <!DOCTYPE x>"},
        {"x<a href=\"y", "'x'"},
        {"x<a b", "'x'"},
        {"x<a b=c /", "'x'"},
        {"x</a", "'x'"},
        {"</", "'</'"},
        {"<title>a <b>&amp;</titlex></TITLE >b", "<title> 'a <b>&</titlex>' </title> 'b'"},
        {"<textarea>&lt;</textarea</textarea>", "<textarea> '<</textarea' </textarea>"},
        {"<title>a</title", "<title> 'a</title'"},
        {"<style>a &amp; <b></style>", "<style> 'a &amp; <b>' </style>"},
        {"<xmp><p></xmp><iframe><b></iframe><noembed>&lt;</noembed><noframes><i></noframes>",
         "<xmp> '<p>' </xmp> <iframe> '<b>' </iframe> <noembed> '&lt;' </noembed> <noframes> '<i>' </noframes>"},
        {"<script>s=\"</script>\";</script>", "<script> 's=\"' </script> '\";' </script>"},
        {"<script><!-- w(\"<script>x</script>\") --></script>y",
         "<script> '<!-- w(\"<script>x</script>\") -->' </script> 'y'"},
        {"<script><!-- a </script> b", "<script> '<!-- a ' </script> ' b'"},
        {"<script><!--<script></script></script>x", "<script> '<!--<script></script>' </script> 'x'"},
        {"<script><!--<script>--></script>x", "<script> '<!--<script>-->' </script> 'x'"},
        {"<script><!-->x</script>", "<script> '<!-->x' </script>"},
        {"<SCRIPT>a</SCRIPT\t>", "<script> 'a' </script>"},
        {"<plaintext>a</plaintext><b>", "<plaintext> 'a</plaintext><b>'"},
        {"<a b=\"1\r\n2\">x\ry\r\n", "<a b=1\n2> 'x\ny\n'"},
        {"a\0b<a b=\0><title>\0</title>"s, "'a\0b' <a b=\xEF\xBF\xBD> <title> '\xEF\xBF\xBD' </title>"s},
        {"<a\xC3 b=\xFF>\xE4\xB8", "<a\xC3 b=\xFF> '\xE4\xB8'"},
    };
    for (const Case& c : cases) EXPECT_EQ(Describe(c.html), c.tokens) << c.html;
}

struct ReferenceCase {
    std::string input;
    std::string inText;
    std::string inAttribute;
};

TEST(Tokenizer, CharacterReferencesInTextAndValues)
{
    const ReferenceCase cases[] = {
        {"&amp;&AMP;&amp", "&&&", "&&&"},
        {"&amp=1&ampx&amp;x", "&=1&x&x", "&amp=1&ampx&x"},
        {"&notit; &notin;", "\xC2\xACit; \xE2\x88\x89", "&notit; \xE2\x88\x89"},
        {"&copy2 &copy;2", "\xC2\xA9" "2 \xC2\xA9" "2", "&copy2 \xC2\xA9" "2"},
        {"&zz; & &; &#; &#x; &#xg", "&zz; & &; &#; &#x; &#xg", "&zz; & &; &#; &#x; &#xg"},
        {"&#65&#x41;&#X41", "AAA", "AAA"},
        {"&#128;&#x89;&#x81;&#159;", "\xE2\x82\xAC\xE2\x80\xB0\xC2\x81\xC5\xB8", "\xE2\x82\xAC\xE2\x80\xB0\xC2\x81\xC5\xB8"},
        {"&#0;&#xD800;&#x110000;&#4294967361;", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"&#x10FFFF;&#13;&#x7F;", "\xF4\x8F\xBF\xBF\r\x7F", "\xF4\x8F\xBF\xBF\r\x7F"},
        {"&NotNestedGreaterGreater;&Afr;&nbsp", "\xE2\xAA\xA2\xCC\xB8\xF0\x9D\x94\x84\xC2\xA0",
         "\xE2\xAA\xA2\xCC\xB8\xF0\x9D\x94\x84\xC2\xA0"},
    };
    for (const ReferenceCase& c : cases) {
        EXPECT_EQ(Tokenize(c.input).at(0).data, c.inText) << c.input;
        EXPECT_EQ(Tokenize("<a b=\"" + c.input + "\">").at(0).attributes.at(0).value, c.inAttribute) << c.input;
    }
}

// Every name is found as itself: the generated table is sorted as the search expects.
TEST(Tokenizer, EveryNamedReferenceIsFound)
{
    for (const NamedReference& entry : NamedReferenceTable()) {
        const NamedReference* found = LongestNamedReference(std::string(entry.name) + "x");
        ASSERT_NE(found, nullptr) << entry.name;
        EXPECT_EQ(found->name, entry.name);
    }
}

std::string Slice(std::string_view html, ByteRange range)
{
    return std::string(html.substr(range.begin, range.size()));
}

// What a link rewriter relies on beyond the links gumbo checks: the raw value of any attribute,
// quoted or not, and every token's bytes.
TEST(Tokenizer, RangesOfTokensAndValues)
{
    const std::string html = "<!DOCTYPE html>t&amp;<A Title = \"x&amp;y\" b='' c=d e><!--c-->x<![x]></a><!--e";
    const std::vector<Token> tokens = Tokenize(html);
    std::vector<std::string> slices;
    for (const Token& token : tokens) slices.push_back(Slice(html, token.range));
    EXPECT_EQ(slices, (std::vector<std::string>{"<!DOCTYPE html>", "t&amp;", "<A Title = \"x&amp;y\" b='' c=d e>",
                                                "<!--c-->", "x", "<![x]>", "</a>", "<!--e"}));
    std::vector<std::string> values;
    for (const Attribute& attribute : tokens.at(2).attributes)
        values.push_back(Slice(html, attribute.nameRange) + "=" + Slice(html, attribute.valueRange) +
                         (attribute.quoted ? "q" : ""));
    EXPECT_EQ(values, (std::vector<std::string>{"Title=x&amp;yq", "b=q", "c=d", "e="}));
    EXPECT_EQ(tokens.at(2).attributes.at(3).valueRange.begin, html.find(" e>") + 2);
}

TEST(VisibleText, HiddenElementsBreaksAndWhitespace)
{
    const Case cases[] = {
        {"<title>T</title><p>a \t b</p><p>c</p>", "a b c"},
        {"<script>x</script>y<style>z</style><iframe>i</iframe><noembed>n</noembed><noframes>f</noframes>", "y"},
        {"a<b>b</b>c<br>d<div>e</div>f", "abc d e f"},
        {"\n a&nbsp;&nbsp;b \0c\n"s, "a\xC2\xA0\xC2\xA0" "b c"},
        {"<textarea>t</textarea><xmp>x</xmp>", "t x"},
        {"<table><tr><th>h<td>d</table>z<LI>l<h6>s</h6><span>n</span><tt>o</tt>", "h d z l s no"},
    };
    for (const Case& c : cases) EXPECT_EQ(VisibleText(Tokenize(c.html)), c.tokens) << c.html;
}

TEST(Links, UrlAttributesAndSitemapParameters)
{
    const std::string html =
        "<a HREF=x title=t><img src='y'><param name=\"Local\" value=\"z.htm\"><param name=ImageNumber value=3>"
        "<param NAME=url VALUE=u><param name=merge value=m.chm::/t.hhc><param value=v name=ImageList><param name=x>"
        "<object data=d codebase=c><form action=f><td background=b><q cite=q><video poster=p></a href=no>";
    std::vector<std::string> links;
    for (const Link& link : FindLinks(Tokenize(html)))
        links.push_back(link.element + " " + link.attribute + "=" + link.value + " " + Slice(html, link.range));
    EXPECT_EQ(links, (std::vector<std::string>{
                         "a href=x x", "img src=y y", "param value=z.htm z.htm", "param value=u u",
                         "param value=m.chm::/t.hhc m.chm::/t.hhc", "param value=v v", "object data=d d",
                         "object codebase=c c", "form action=f f", "td background=b b", "q cite=q q", "video poster=p p"}));
}

struct CssCase {
    std::string css;
    std::string urls;  // value|raw, with "q" for quoted and "@" for imports
};

TEST(CssUrls, UrlsAndImports)
{
    const CssCase cases[] = {
        {"a{background:url(a.png)}", "a.png|a.png"},
        {"b{background:URL(  \"b c.png\"  )} c{x:url(  c.png\t)}", "b c.png|b c.pngq c.png|c.png"},
        {"url(a\\)b) url(\\61 b) url(\\000041) url(\\0)", "a)b|a\\)b ab|\\61 b A|\\000041 \xEF\xBF\xBD|\\0"},
        {"url(\"n\\\"o\") url('p\\\nq')", "n\"o|n\\\"oq pq|p\\\nqq"},
        {"url(a b) url(a\"b) url(a(b) url(\x01) url(ok)", "ok|ok"},
        {"/* url(c) */ \"url(d)\" 'e\\' url(f)' myurl(g) #url(h) -url(i) 2url(j)", ""},
        {"\"bad\nurl(k) u\\72l(m)", "k|k m|m"},
        {"@import \"g.css\"; @IMPORT url(h.css); @import/**/'i'; @import j;", "g.css|g.css@q h.css|h.css@ i|i@q"},
        {"url(e", "e|e"},
    };
    for (const CssCase& c : cases) {
        std::string urls;
        for (const CssUrl& url : FindCssUrls(c.css))
            urls += (urls.empty() ? "" : " ") + url.value + "|" + Slice(c.css, url.range) + (url.import ? "@" : "") +
                    (url.quoted ? "q" : "");
        EXPECT_EQ(urls, c.urls) << c.css;
    }
}

} // namespace
