#include "platform/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTextBoundaryFinder>

namespace {

// A question without a Cancel button is answered with Yes or No, never by Escape: a second Escape
// typed after the one that asked must not throw away what the question is about.
class EscapeRefused : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    }
};

struct Script
{
    bool active = false;
    QList<QMessageBox::StandardButton> messageAnswers;
    QStringList inputAnswers;
    QList<Dialogs::Shown> shown;
};

Script& script()
{
    static Script s;
    return s;
}

// A box must fit on the screen with its buttons in reach, whatever it quotes: a condition of
// thousands of characters or lines is shown by its start and end, and a long run without a space
// is given places to wrap.
const int kMaxLineLength = 240;
const int kMaxLines = 24;
const int kMaxRunLength = 60;

QString boundedLine(const QString& line)
{
    const QString shown = line.size() <= kMaxLineLength ? line
                                                        : line.left(kMaxLineLength * 2 / 3) + QStringLiteral(" … ") +
                                                              line.right(kMaxLineLength / 3);
    // Only where the text itself offers no place to wrap for a long stretch is one added: a
    // zero-width space, unseen.
    QString wrapped;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, shown);
    qsizetype start = 0;
    for (qsizetype next = finder.toNextBoundary(); next > 0; next = finder.toNextBoundary()) {
        for (qsizetype p = start; p < next;) {
            qsizetype end = qMin(p + kMaxRunLength, next);
            if (end < next && shown.at(end).isLowSurrogate())
                --end;
            if (p > start)
                wrapped += QChar(0x200B);
            wrapped += QStringView(shown).mid(p, end - p);
            p = end;
        }
        start = next;
    }
    return wrapped;
}

QString boundedText(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n')); // a line's "\r" stays with it
    if (lines.size() > kMaxLines)
        lines = lines.mid(0, kMaxLines - 2) + QStringList{QStringLiteral("…\r"), lines.last()};
    for (QString& line : lines)
        line = boundedLine(line);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QMessageBox::StandardButton Dialogs::message(QWidget* parent, const QString& text, const QString& title,
                                             QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
                                             QMessageBox::StandardButton defaultButton)
{
    const QString shown = boundedText(text);
    if (script().active) {
        script().shown.append({false, title, shown, icon, buttons, {}});
        return script().messageAnswers.isEmpty() ? QMessageBox::Ok : script().messageAnswers.takeFirst();
    }
    QApplication::setOverrideCursor(Qt::ArrowCursor); // a box over a busy window still takes the mouse
    QMessageBox box(icon, title, shown, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    EscapeRefused escapeRefused;
    if (buttons == (QMessageBox::Yes | QMessageBox::No)) {
        box.setWindowFlag(Qt::WindowCloseButtonHint, false);
        box.installEventFilter(&escapeRefused);
        for (QAbstractButton* button : box.buttons())
            button->installEventFilter(&escapeRefused);
    }
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    QApplication::restoreOverrideCursor();
    return answer;
}

int Dialogs::choose(QWidget* parent, const QString& prompt, const QString& title, const QStringList& items)
{
    if (script().active) {
        script().shown.append({true, title, prompt, QMessageBox::NoIcon, {}, items.value(0)});
        return script().inputAnswers.isEmpty() ? -1
                                               : static_cast<int>(items.indexOf(script().inputAnswers.takeFirst()));
    }
    bool ok = false;
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const QString chosen = QInputDialog::getItem(parent, title, prompt, items, 0, false, &ok);
    QApplication::restoreOverrideCursor();
    return ok ? static_cast<int>(items.indexOf(chosen)) : -1;
}

QString Dialogs::input(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText)
{
    if (script().active) {
        script().shown.append({true, title, prompt, QMessageBox::NoIcon, {}, defaultText});
        return script().inputAnswers.isEmpty() ? QString() : script().inputAnswers.takeFirst();
    }
    bool ok = false;
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const QString answer = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    QApplication::restoreOverrideCursor();
    return ok ? answer : QString();
}

QString Dialogs::fileName(QWidget* parent, FileMode mode, const QString& caption, const QString& suggested,
                          const QString& filter)
{
    if (script().active) {
        script().shown.append({true, caption, suggested, QMessageBox::NoIcon, {}, {}});
        return script().inputAnswers.isEmpty() ? QString() : script().inputAnswers.takeFirst();
    }
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const QString chosen = mode == FileMode::Open
                               ? QFileDialog::getOpenFileName(parent, caption, suggested, filter)
                               : QFileDialog::getSaveFileName(parent, caption, suggested, filter, nullptr,
                                                              QFileDialog::DontConfirmOverwrite);
    QApplication::restoreOverrideCursor();
    return chosen;
}

QString Dialogs::nameForFile(const QString& title)
{
    static const QRegularExpression unfit(QStringLiteral(R"([\\/:*?"<>|\x00-\x1f])"));
    return QString(title).replace(unfit, QStringLiteral("_"));
}

bool Dialogs::mayReplace(QWidget* parent, const QString& path, const QString& caption)
{
    return !QFileInfo::exists(path) ||
           message(
               parent,
               QStringLiteral("'%1' already exists.\r\nDo you want to replace it?").arg(QDir::toNativeSeparators(path)),
               caption, QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning, QMessageBox::No) == QMessageBox::Yes;
}

void Dialogs::setScripted(bool scripted)
{
    script() = Script();
    script().active = scripted;
}

void Dialogs::scriptMessageAnswer(QMessageBox::StandardButton answer)
{
    script().messageAnswers.append(answer);
}

void Dialogs::scriptInputAnswer(const QString& answer)
{
    script().inputAnswers.append(answer);
}

QList<Dialogs::Shown> Dialogs::takeShown()
{
    return std::exchange(script().shown, {});
}
