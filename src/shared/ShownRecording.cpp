#include "shared/ShownRecording.h"

#include "shared/DisplayModel.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"

std::optional<QStringList> ReadShownRecording(Database& catalogue, qint64 id)
{
    // Through the display's own statement and model, so the texts are made as the grid's were.
    DisplayModel fresh;
    fresh.setRecordings(catalogue.openSnapshot(Catalogue::displayStatement(QStringLiteral("ID = %1").arg(id), {})));
    if (fresh.rows().count() < 1)
        return std::nullopt;
    QStringList texts;
    for (int c = 0; c < DisplayModel::kColumns; ++c)
        texts << fresh.cellText(0, c);
    return texts;
}
