#include "interchange/PdfExport.h"

#include "interchange/InterchangeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPdfWriter>
#include <QSaveFile>

namespace PdfExport {

QPageLayout defaultLayout()
{
    const QLocale::Territory territory = QLocale().territory();
    const bool letter = territory == QLocale::UnitedStates || territory == QLocale::Canada;
    return QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Landscape,
                       QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

bool write(DisplayPages& pages, const QString& path, const QPageLayout& layout, const DisplayPages::Progress& progress)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw InterchangeError(
            QStringLiteral("Could not write '%1': %2.").arg(QDir::toNativeSeparators(path), file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setCreator(QCoreApplication::applicationName());
        writer.setTitle(QFileInfo(path).completeBaseName());
        writer.setResolution(300);
        writer.setPageLayout(layout);
        bool stopped = false;
        const auto watch = [&](int done, int total) {
            stopped = progress && !progress(done, total);
            return !stopped;
        };
        if (!pages.paint(writer, watch)) {
            file.cancelWriting();
            if (stopped)
                return false;
            throw InterchangeError(QStringLiteral("Could not write '%1': the pages could not be drawn.")
                                       .arg(QDir::toNativeSeparators(path)));
        }
    }
    if (!file.commit())
        throw InterchangeError(
            QStringLiteral("Could not write '%1': %2.").arg(QDir::toNativeSeparators(path), file.errorString()));
    return true;
}

} // namespace PdfExport
