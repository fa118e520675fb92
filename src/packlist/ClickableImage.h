#pragma once
// A plain image control that reports a click: a left-button press and a release over it.
// Stands in for the skinned image buttons until their pictures exist.
#include <QLabel>

namespace kivro {

class ClickableImage : public QLabel {
    Q_OBJECT
public:
    explicit ClickableImage(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace kivro
