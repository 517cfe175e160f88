#pragma once
// The game's own tooltips: a speech balloon above and to the right of the pointer, with its nose
// on the pointer. It is shaped with a window mask, so it looks right on a bare X server without a
// compositor or window manager.

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QApplication;

class THintBalloon : public QWidget {
    Q_OBJECT
public:
    THintBalloon();

    // Shows text for owner with the nose just beside the pointer (global); replaces what was
    // shown.
    void ShowFor(QWidget* owner, const QString& text, QPoint pointer);
    QString Text() const { return m_text; }
    QWidget* Owner() const { return m_owner; }
    // Where the nose points, in global coordinates.
    QPoint Tip() const { return m_tip; }
    bool FlippedLeft() const { return m_flipLeft; }
    bool FlippedBelow() const { return m_flipBelow; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Render();
    void DrawText(QPainter& painter) const;

    QString m_text;
    QPointer<QWidget> m_owner;
    QPoint m_tip;
    bool m_flipLeft = false;
    bool m_flipBelow = false;
    QImage m_picture; // the whole balloon; clear pixels lie outside its shape
    QImage m_shape;   // the same without its text
    QImage m_device;  // the balloon at the screen's resolution, where that is not 1
    QRect m_textBox;
    QTimer m_sleep;
};

// Takes over every tooltip of the application (any widget with a non-empty toolTip, which is
// where TJetButton keeps its hint).
void InstallHintBalloons(QApplication& app);

// The balloon on screen, or nullptr when none is shown.
THintBalloon* CurrentHintBalloon();
