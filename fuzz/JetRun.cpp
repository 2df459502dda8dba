#include "JetRun.h"

#include "FuzzSupport.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/SnapshotRecordset.h"

namespace Fuzz {

void runSelection(const QString& where, const QString& order)
{
    try {
        const auto rs = catalogue().openSnapshot(Catalogue::displayStatement(where, order));
        for (int rows = 0; !rs->eof() && rows < 100; rs->moveNext(), ++rows) {
            for (int i = 0; i < rs->fieldCount(); ++i) {
                rs->text(i);
                rs->integer(i);
            }
        }
    } catch (const EngineError& e) {
        check(!e.description().isEmpty(), "a refusal without a reason", where);
    }
}

} // namespace Fuzz
