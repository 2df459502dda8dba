#pragma once

#include "interchange/DisplayPages.h"

#include <QPageLayout>

// The display written as a PDF file, page by page as it prints.
namespace PdfExport {

// A page of the locale's paper (Letter in North America, A4 elsewhere), across, with margins.
QPageLayout defaultLayout();

// Writes the pages to the file, replaced whole or not at all. False when progress said to stop,
// with nothing written; throws InterchangeError when the file cannot be written.
bool write(DisplayPages& pages, const QString& path, const QPageLayout& layout,
           const DisplayPages::Progress& progress = {});

} // namespace PdfExport
