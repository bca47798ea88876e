#include "export/SearchIndex.h"
#include "export/SearchTerms.h"

namespace tarnwick::exporting {
namespace {

// Plain ES5 in ASCII (the messages as \u escapes: "找到 N 个主题", "，显示前 200 个" and "没有找到"),
// so it runs in any browser and reads alike in a page of any encoding. The query is split as
// ForEachSearchTerm splits pages, with the same tables; the last word, while still being typed,
// matches every term it begins, and a lone Chinese or Japanese character every term that holds
// it, as it may stand first or second in the bigrams of a page.
constexpr std::string_view kHead = "(function (global) {\n";

constexpr std::string_view kBody = R"js(
var LIMIT = 200;

function kindOf(c) {
  for (var i = 0; i < charRanges.length && c >= charRanges[i][0]; i++)
    if (c <= charRanges[i][1]) return charRanges[i][2];
  return WORD;
}

function lowerCase(c) {
  for (var i = 0; i < caseRanges.length && c >= caseRanges[i][0]; i++) {
    var r = caseRanges[i];
    if (c <= r[1] && (!r[3] || (c - r[0]) % 2 === 0)) return c + r[2];
  }
  return c;
}

function clausesOf(query) {
  var clauses = [], word = '', run = '';
  function endWord(last) {
    if (word.length > 1 || (word.length === 1 && word.charCodeAt(0) >= 128))
      clauses.push(last ? {prefix: word} : {term: word});
    word = '';
  }
  function endRun() {
    if (run.length === 1) clauses.push({contains: run});
    for (var j = 0; j + 1 < run.length; j++) clauses.push({term: run.substr(j, 2)});
    run = '';
  }
  for (var i = 0; i < query.length; i++) {
    var c = query.charCodeAt(i);
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
    var kind = kindOf(c);
    if (kind !== WORD) endWord(false);
    if (kind !== CJK) endRun();
    if (kind === WORD) word += String.fromCharCode(lowerCase(c));
    if (kind === CJK) run += query.charAt(i);
  }
  endWord(true);
  endRun();
  return clauses;
}

function firstNotBefore(terms, text) {
  var low = 0, high = terms.length;
  while (low < high) {
    var middle = (low + high) >> 1;
    if (terms[middle][0] < text) low = middle + 1; else high = middle;
  }
  return low;
}

function eachPageList(terms, clause, take) {
  var i;
  if (clause.contains) {
    for (i = 0; i < terms.length; i++) if (terms[i][0].indexOf(clause.contains) >= 0) take(terms[i][1]);
    return;
  }
  var text = clause.term || clause.prefix;
  i = firstNotBefore(terms, text);
  if (clause.term) {
    if (i < terms.length && terms[i][0] === text) take(terms[i][1]);
    return;
  }
  for (; i < terms.length && terms[i][0].lastIndexOf(text, 0) === 0; i++) take(terms[i][1]);
}

function find(index, query) {
  var clauses = clausesOf(query), matched = [], lastClause = [], hits = [];
  if (!index || clauses.length === 0) return hits;
  for (var k = 0; k < clauses.length; k++) {
    eachPageList(index.terms, clauses[k], function (pages) {
      for (var j = 0; j < pages.length; j++) {
        var page = pages[j];
        if (lastClause[page] === k) continue;
        lastClause[page] = k;
        matched[page] = (matched[page] || 0) + 1;
      }
    });
  }
  for (var p = 0; p < matched.length; p++) if (matched[p] === clauses.length) hits.push(p);
  return hits;
}

function countText(count) {
  if (count === 0) return '\u6ca1\u6709\u627e\u5230';
  var text = '\u627e\u5230 ' + count + ' \u4e2a\u4e3b\u9898';
  return count > LIMIT ? text + '\uff0c\u663e\u793a\u524d ' + LIMIT + ' \u4e2a' : text;
}

function show(output, query) {
  var doc = output.ownerDocument, index = global.tarnwickSearch;
  while (output.firstChild) output.removeChild(output.firstChild);
  if (clausesOf(query).length === 0) return;
  var hits = find(index, query), status = doc.createElement('p'), list = doc.createElement('ul');
  status.className = 'search-count';
  status.appendChild(doc.createTextNode(countText(hits.length)));
  output.appendChild(status);
  if (hits.length === 0) return;
  for (var i = 0; i < hits.length && i < LIMIT; i++) {
    var page = index.pages[hits[i]], item = doc.createElement('li'), link = doc.createElement('a');
    link.href = page[1];
    link.target = 'topic';
    link.appendChild(doc.createTextNode(page[0] || page[1]));
    item.appendChild(link);
    list.appendChild(item);
  }
  output.appendChild(list);
}

global.tarnwickSearchFind = function (query) { return find(global.tarnwickSearch, query); };

// An input method fires input events for the Latin letters it composes from: the list waits for
// the characters it commits.
global.tarnwickSearchInto = function (input, output) {
  var composing = false;
  function update() { if (!composing) show(output, input.value); }
  input.addEventListener('compositionstart', function () { composing = true; });
  input.addEventListener('compositionend', function () { composing = false; update(); });
  input.addEventListener('input', update);
  update();
};
})(this);
)js";

std::string Number(char32_t value) { return std::to_string(static_cast<unsigned long>(value)); }

std::string KindNames()
{
    return "var WORD = " + std::to_string(static_cast<int>(CharKind::Word)) +
           ", CJK = " + std::to_string(static_cast<int>(CharKind::Cjk)) + ";\n";
}

std::string CharRangesScript()
{
    std::string out = "var charRanges = [";
    for (const CharRange& range : SearchCharRanges())
        out += "[" + Number(range.first) + "," + Number(range.last) + "," + std::to_string(static_cast<int>(range.kind)) + "],";
    out.back() = ']';
    return out + ";\n";
}

std::string CaseRangesScript()
{
    std::string out = "var caseRanges = [";
    for (const CaseRange& range : SearchCaseRanges())
        out += "[" + Number(range.first) + "," + Number(range.last) + "," + std::to_string(range.toLower) + "," +
               (range.everyOther ? "1" : "0") + "],";
    out.back() = ']';
    return out + ";\n";
}

} // namespace

std::string SearchScript()
{
    return std::string(kHead) + KindNames() + CharRangesScript() + CaseRangesScript() + std::string(kBody);
}

} // namespace tarnwick::exporting
