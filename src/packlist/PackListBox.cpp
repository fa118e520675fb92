#include "packlist/PackListBox.h"

#include "engine/PackListModel.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace kivro {

PackListBox::PackListBox(QWidget* parent) : QListView(parent)
{
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPointSizeF(8.25);
    setFont(listFont);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setDragDropOverwriteMode(false);
    setDropIndicatorShown(false);
    // Files dropped from other programs are taken (dropEvent); the view's own drop handling is
    // never reached.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    // The view sets the range from its items on several paths (layout, resize, show): put the
    // extent's range back whenever it changes.
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] { applyHorizontalRange(); });
}

void PackListBox::setPackList(PackListModel* model)
{
    m_model = model;
    setModel(model);
}

int PackListBox::ListCount() const
{
    return m_model ? m_model->count() : 0;
}

QString PackListBox::List(int row) const
{
    return (m_model && row >= 0 && row < m_model->count()) ? m_model->name(row) : QString();
}

bool PackListBox::Selected(int row) const
{
    if (!m_model || row < 0 || row >= m_model->count() || !selectionModel())
        return false;
    return selectionModel()->isSelected(m_model->index(row));
}

void PackListBox::setSelected(int row, bool selected)
{
    if (!m_model || row < 0 || row >= m_model->count() || !selectionModel())
        return;
    selectionModel()->select(m_model->index(row),
                             selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

int PackListBox::SelCount() const
{
    return selectionModel() ? int(selectionModel()->selectedRows().size()) : 0;
}

int PackListBox::ListIndex() const
{
    if (!selectionModel())
        return -1;
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void PackListBox::setListIndex(int row)
{
    if (!m_model || !selectionModel())
        return;
    const QModelIndex index = (row >= 0 && row < m_model->count()) ? m_model->index(row) : QModelIndex();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

int PackListBox::TopIndex() const
{
    const_cast<PackListBox*>(this)->executeDelayedItemsLayout();
    if (ListCount() == 0)
        return 0;
    // Scrolling is by whole rows, so the scroll position is the first visible row.
    return verticalScrollBar()->value();
}

void PackListBox::setTopIndex(int row)
{
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(row);
}

int PackListBox::visibleRows() const
{
    const int rowHeight = ListCount() > 0 ? sizeHintForRow(0) : fontMetrics().height();
    return std::max(1, viewport()->height() / std::max(1, rowHeight));
}

void PackListBox::setHorizontalExtent(int pixels)
{
    m_horizontalExtent = std::max(0, pixels);
    applyHorizontalRange();
}

void PackListBox::applyHorizontalRange()
{
    if (m_applyingRange)
        return;
    m_applyingRange = true;
    QScrollBar* bar = horizontalScrollBar();
    const int page = viewport()->width();
    bar->setRange(0, std::max(0, m_horizontalExtent - page));
    bar->setPageStep(std::max(1, page));
    bar->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
    m_applyingRange = false;
}

void PackListBox::updateGeometries()
{
    QListView::updateGeometries();
    // The items' own width never sets the range: only the extent does.
    applyHorizontalRange();
}

void PackListBox::keyPressEvent(QKeyEvent* event)
{
    emit keyDown(event->key(), event->modifiers());
    QListView::keyPressEvent(event);
}

void PackListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        // A right-button press leaves the selection and the caret as they are.
        event->accept();
    } else {
        QListView::mousePressEvent(event);
    }
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void PackListBox::mouseMoveEvent(QMouseEvent* event)
{
    QListView::mouseMoveEvent(event);
    emit mouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
}

void PackListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit dblClick();
}

namespace {

// Whether a drop offers at least one local file.
bool offersLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); });
}

} // namespace

void PackListBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (offersLocalFile(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PackListBox::dragMoveEvent(QDragMoveEvent* event)
{
    // Where the files are dropped does not matter: they go to the end of the list.
    if (offersLocalFile(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PackListBox::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
}

void PackListBox::dropEvent(QDropEvent* event)
{
    if (!offersLocalFile(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit oleDragDrop(event->mimeData());
}

} // namespace kivro
