#pragma once
// Where the main window stands between runs, and the outline effect it opens with.
//
// The record "MainForm" is seven decimal integers joined by ",": the mark 200, flags, the
// show command (1 normal, 2 minimized, 3 maximized) and the left, top, right and bottom
// edges of the window's normal rectangle in screen pixels (right and bottom exclusive).
// Anything else in that value is ignored and the window is centred on its screen.

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

class QWidget;
class TIniEdit;
class TLMDIniCtrl;

inline constexpr int PlacementMark = 200;
enum TShowCommand { scNormal = 1, scMinimized = 2, scMaximized = 3 };

struct TPlacementRecord {
    int flags = 0;
    int showCmd = scNormal;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    QRect NormalRect() const { return QRect(left, top, right - left, bottom - top); }
    friend bool operator==(const TPlacementRecord&, const TPlacementRecord&) = default;
};

// Exactly seven integer fields, the first one exactly "200", and a rectangle a window can
// have (width and height 1 to 16777215, the largest a widget may be); otherwise nothing.
std::optional<TPlacementRecord> ParsePlacement(const QString& text);
QString FormatPlacement(const TPlacementRecord& record);

// A rectangle that reaches past the screen's right or bottom edge is moved back so that it
// ends there (keeping its size); one that lies wholly left of or above the screen is moved
// onto it, so a damaged record can never hide the window.
TPlacementRecord FitOnScreen(TPlacementRecord record, const QRect& screen);

// The window centred on the screen, size unchanged (integer halves truncate toward zero).
QPoint CentredOnScreen(QSize window, const QRect& screen);

// The 40 rectangles of the opening effect, growing from the pointer to the window.
QList<QRect> ExplodeRects(QPoint pointer, const QRect& window);

// Keeps the main window's placement in the store under "MainForm" (section "common").
// It watches the window: every time the program shows it, the placement is restored and
// the outline effect plays before the window's own show handler runs.
class TLMDForm : public QObject {
public:
    TLMDForm(QWidget* form, TLMDIniCtrl& ini);

    // Applies the stored record (normal rectangle; show command 3 also maximizes) or
    // centres the window on its screen.
    void RestorePlacement();
    // Writes the current placement on its own.
    void SavePlacement();
    // Writes it into an edit of the store, so the main window's close keeps it together with
    // the other settings in one replacement of the file.
    void SavePlacement(TIniEdit& edit) const;
    // The outline effect; does nothing where windows cannot be placed on the screen
    // (the "offscreen" platform, Wayland, no display).
    void PlayShowEffect();
    static bool CanPlayShowEffect();

    // The record that SavePlacement writes for the window as it is now.
    TPlacementRecord CurrentPlacement() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_form;
    TLMDIniCtrl& m_ini;
};
