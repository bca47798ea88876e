// A help file as one file per topic, Markdown or plain text, in the order of its contents and
// numbered so that a file manager shows that order; the topics the contents leave out follow in
// the order of the help file. Markdown files carry front matter (title, help file, internal path,
// keywords), link each other, and find the help file's images and other files below "content/".
#pragma once

#include "engine/ChmEngine.h"
#include "engine/UnpackPipeline.h"
#include "export/SiteExport.h"

#include <string>
#include <vector>

namespace tarnwick::exporting {

enum class TopicFormat { Markdown, Text };

ExportOutcome ExportTopics(const ExportRequest& request, TopicFormat format, UnpackObserver& observer);

} // namespace tarnwick::exporting
