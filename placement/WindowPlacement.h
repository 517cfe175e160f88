#pragma once
// Where the main window stands between runs, and the outline effect it opens with.
//
// The record "MainForm" is seven decimal integers joined by ",": the mark 200, flags, the
// show command (1 normal, 2 minimized, 3 maximized) and the left, top, right and bottom
// edges of the window's normal outer frame in screen pixels (right and bottom exclusive).
// Anything else in that value is ignored and the window is centred on its screen.

#include <QList>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

class QWidget;
class TIniEdit;
class TIniStore;

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

// The record's rectangle is the window's outer frame, title bar and borders included, as the
// window manager draws it. These rules decide where that frame goes on the screens there are
// now; each screen is given by its available rectangle (without panels), the primary first.

// Shrinks the frame to the screen (never below minFrame) and moves it wholly onto it. Where
// even the smallest frame does not fit, its left and top edges stay on the screen, so the
// title bar can always be reached.
QRect FitOnScreen(const QRect& frame, const QRect& screen, QSize minFrame);

// The frame for a record: on the screen it overlaps most (the primary one if it overlaps
// none, say because its monitor is gone), fitted as above. Without a record, a frame of
// defaultFrame's size centred on the primary screen. An empty list of screens places nothing
// and gives the record's rectangle (or an empty one).
QRect PlaceFrame(const std::optional<TPlacementRecord>& record, const QList<QRect>& screens, QSize minFrame,
                 QSize defaultFrame);

// The window centred on the screen, size unchanged (integer halves truncate toward zero).
QPoint CentredOnScreen(QSize window, const QRect& screen);

// The 40 rectangles of the opening effect, growing from the pointer to the window.
QList<QRect> ExplodeRects(QPoint pointer, const QRect& window);

// Keeps the main window's placement in the store under "MainForm" (section "common").
//
// The window is placed once when the keeper is made, before the window first exists on the
// screen (an X window manager honours a frame position only then), and again every time the
// program shows it after a hide; the outline effect plays before the window's own show
// handler runs. The frame's size is not known until the window manager has framed the
// window, so the first time it is (and the window is not maximized) the rule runs again with
// the real frame and the window is set right once.
//
// Where the compositor places windows itself (Wayland), nothing is placed and the record is
// written back exactly as it was read, so the next session on X finds its place again.
class TWindowPlacement : public QObject {
public:
    TWindowPlacement(QWidget* form, TIniStore& ini);

    // Applies the stored record (normal rectangle; show command 3 also maximizes) or
    // centres the window on its primary screen.
    void RestorePlacement();
    // Writes RecordText() on its own (when it is not empty).
    void SavePlacement();
    // Writes it into an edit of the store, so the main window's close keeps it together with
    // the other settings in one replacement of the file.
    void SavePlacement(TIniEdit& edit) const;
    // The text the record should hold now; empty when nothing is to be written.
    QString RecordText() const;
    // The outline effect; does nothing where windows cannot be placed on the screen
    // (the "offscreen" platform, Wayland, no display).
    void PlayShowEffect();
    static bool CanPlayShowEffect();
    // False where the compositor alone decides where windows go (Wayland).
    static bool CanPlaceWindows();

    // The record for the window as it is now: its outer frame, or, while it is maximized or
    // minimized, the frame of the normal rectangle underneath.
    TPlacementRecord CurrentPlacement() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMargins FrameMargins() const;
    QRect TargetFrame(QMargins margins) const;
    void ApplyFrame(const QRect& frame, QMargins margins);
    void SettleFrame();

    QWidget* m_form;
    TIniStore& m_ini;
    QString m_recordRead;       // the text as read, for platforms that cannot place windows
    QSize m_defaultClient;      // the window's size before anything was restored
    QRect m_target;             // the normal frame placed last
    QSize m_targetClient;       // and the client size given for it
    bool m_placedForShow = false; // placed already for the coming first show
    bool m_settlePending = false; // the frame was placed before its size was known
    QMargins m_normalMargins;   // the frame around the normal window, once seen
};
