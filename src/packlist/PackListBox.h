#pragma once
// The list control of the pack-list window (selpos_lst): a list view over the pack-list model
// with extended multiple selection, in the pack list's font (Arial 8.25 pt).
//
// Its horizontal scroll range is not worked out from the items: it follows the horizontal
// extent the window sets from its widest-name tracking (0: no horizontal scroll bar), as a list
// box does. A right-button press does not change the selection. Key presses, presses, moves and
// double-clicks are reported to the window before (keys) or after (mouse) the list's own
// handling; a disabled list reports nothing.
//
// It takes drops of local files (a URL list with at least one local file) anywhere on it and
// reports them with oleDragDrop; the model's own drop handling and moves inside the list stay
// off.
#include <QListView>
#include <QMimeData>

namespace kivro {

class PackListModel;

class PackListBox : public QListView {
    Q_OBJECT
public:
    explicit PackListBox(QWidget* parent = nullptr);

    void setPackList(PackListModel* model);
    PackListModel* packList() const { return m_model; }

    // List-box style access by row.
    int ListCount() const;
    QString List(int row) const;
    bool Selected(int row) const;
    void setSelected(int row, bool selected);
    int SelCount() const;
    // The caret (current row); -1 when there is none.
    int ListIndex() const;
    void setListIndex(int row);
    // The first visible row; setting it scrolls as far as the list allows.
    int TopIndex() const;
    void setTopIndex(int row);
    // Rows that fit the visible area (at least 1).
    int visibleRows() const;

    // Horizontal extent in pixels; 0 means no horizontal scrolling.
    void setHorizontalExtent(int pixels);
    int horizontalExtent() const { return m_horizontalExtent; }

signals:
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void dblClick();
    void oleDragDrop(const QMimeData* data);

protected:
    void updateGeometries() override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void applyHorizontalRange();

    PackListModel* m_model = nullptr;
    int m_horizontalExtent = 0;
    bool m_applyingRange = false;
};

} // namespace kivro
