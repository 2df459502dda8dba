# Precompiled headers: the outside headers nearly every file includes, parsed once for a library and
# shared with the libraries and programs above it instead of parsed again for each file. No header of
# the project goes in, so the include roots still hold each layer to its own folders.
option(VAROLIN_PCH "Precompile the Qt and standard headers" ON)

# The store's, which has Qt Core alone.
set(VAROLIN_PCH_CORE <algorithm> <array> <cmath> <cstring> <functional> <limits> <memory> <optional>
    <string> <vector> <QByteArray> <QDate> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList>
    <QRegularExpression> <QString> <QStringList> <QStringView> <QVariant>)
# The platform's, which the layers above it and the programs reuse.
set(VAROLIN_PCH_WIDGETS ${VAROLIN_PCH_CORE} <QApplication> <QCheckBox> <QComboBox> <QDialog>
    <QDialogButtonBox> <QFrame> <QHeaderView> <QKeyEvent> <QLabel> <QLineEdit> <QMainWindow>
    <QMessageBox> <QPainter> <QPushButton> <QTableView> <QToolButton> <QVBoxLayout>)
# The tests'.
set(VAROLIN_PCH_TESTS ${VAROLIN_PCH_WIDGETS} <gtest/gtest.h> <QTest>)

# varolin_precompile(target PRIVATE header...) or varolin_precompile(target REUSE_FROM other): as
# target_precompile_headers, when VAROLIN_PCH is on. A reused header is valid only for targets built
# with the same code generation options, which holds for every target here (all are -fPIC).
function(varolin_precompile target)
    if(VAROLIN_PCH)
        target_precompile_headers(${target} ${ARGN})
    endif()
endfunction()
