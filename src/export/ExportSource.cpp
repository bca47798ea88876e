#include "export/ExportSource.h"

namespace tarnwick::exporting {

ExportSource::ExportSource(const ExportRequest& request)
    : entries(*request.entries), facts(helpfile::GatherFacts(entries.Root(), request.chosenCodePage)),
      links(entries, request.helpFileName, facts.encoding.DeclaredCodePage(), kContentFolder),
      navigation(ReadNavigation(entries.Root(), facts)),
      title(navigation.title.empty() ? request.helpFileName : navigation.title)
{
}

} // namespace tarnwick::exporting
