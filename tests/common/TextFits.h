#pragma once
// Whether the texts of a window fit their labels: each label's text, laid out in the label's own
// font as the label lays it out (its alignment, its word wrap, its indent and margin), against
// the room the label has. A text that is wider or taller than that room shows clipped.
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTextDocument>
#include <QWidget>

namespace kivrotest {

// The room a label's text takes, in pixels.
inline QSize textSizeIn(const QLabel& label, int width)
{
    const QString text = label.text();
    const bool rich = label.textFormat() == Qt::RichText
                      || (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
    if (rich) {
        QTextDocument doc;
        doc.setDefaultFont(label.font());
        doc.setDocumentMargin(0);
        doc.setHtml(text);
        if (label.wordWrap())
            doc.setTextWidth(width);
        return doc.size().toSize();
    }
    int flags = int(label.alignment()) | Qt::TextExpandTabs;
    if (label.wordWrap())
        flags |= Qt::TextWordWrap;
    if (label.buddy())
        flags |= Qt::TextShowMnemonic;
    const QFontMetrics metrics(label.font());
    return metrics.boundingRect(QRect(0, 0, width, 100000), flags, text).size();
}

// Every label of `window` (shown or not) whose text does not fit it, as
// "<object name>: '<text>' needs <w>x<h>, has <w>x<h>". A read-only text box without a frame is
// a label too; its text keeps the box's own margin of 2 pixels a side.
inline QStringList clippedLabels(const QWidget& window)
{
    QStringList clipped;
    for (const QLineEdit* box : window.findChildren<QLineEdit*>()) {
        if (!box->isReadOnly() || box->hasFrame() || box->text().isEmpty())
            continue;
        const QFontMetrics metrics(box->font());
        const QSize needed(metrics.horizontalAdvance(box->text()), metrics.height());
        const QSize room = box->contentsRect().marginsRemoved(box->textMargins()).size() - QSize(4, 0);
        if (needed.width() > room.width() || needed.height() > room.height())
            clipped << QStringLiteral("%1: '%2' needs %3x%4, has %5x%6")
                           .arg(box->objectName(), box->text())
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(room.width())
                           .arg(room.height());
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().trimmed().isEmpty())
            continue;
        QRect room = label->contentsRect();
        const int margin = label->margin();
        room.adjust(margin, margin, -margin, -margin);
        int indent = label->indent();
        if (indent < 0)
            indent = label->frameWidth() > 0 ? QFontMetrics(label->font()).horizontalAdvance(QLatin1Char('x')) / 2 : 0;
        if (indent > 0) {
            const Qt::Alignment a = label->alignment();
            if (a & Qt::AlignLeft)
                room.setLeft(room.left() + indent);
            if (a & Qt::AlignRight)
                room.setRight(room.right() - indent);
            if (a & Qt::AlignTop)
                room.setTop(room.top() + indent);
            if (a & Qt::AlignBottom)
                room.setBottom(room.bottom() - indent);
        }
        const QSize needed = textSizeIn(*label, room.width());
        if (needed.width() > room.width() || needed.height() > room.height())
            clipped << QStringLiteral("%1: '%2' needs %3x%4, has %5x%6")
                           .arg(label->objectName(), label->text())
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(room.width())
                           .arg(room.height());
    }
    return clipped;
}

} // namespace kivrotest
