// The help window: a plain top-level text browser on the HTML help in the game's data folder.
#include "media/Help.h"

#include "texts/WindowTexts.h"

#include <QFileInfo>
#include <QKeySequence>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

struct THelp::Impl {
    QWidget* owner = nullptr;
    QString file;
    // The window deletes itself when the player closes it; the pointer then turns null.
    QPointer<QTextBrowser> window;
};

THelp::THelp(QWidget* owner) : m_impl(new Impl)
{
    m_impl->owner = owner;
}

THelp::~THelp()
{
    Quit();
    delete m_impl;
}

void THelp::SetHelpFile(const QString& path) { m_impl->file = path; }
QString THelp::HelpFile() const { return m_impl->file; }

void THelp::Quit()
{
    delete m_impl->window.data();
}

void THelp::ShowTopic(const QString& topic)
{
    Impl& d = *m_impl;
    if (!d.window) {
        // A window of its own (not a dialog): it stays open beside the game, and goes
        // away with the game's main window.
        d.window = new QTextBrowser(d.owner);
        d.window->setWindowFlag(Qt::Window);
        d.window->setAttribute(Qt::WA_DeleteOnClose);
        d.window->setOpenExternalLinks(true);
        d.window->resize(760, 600);
        // Escape and Ctrl+W close it, as they close a help or document window elsewhere;
        // without them a keyboard player would need the window manager to get back.
        for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
            auto* shortcut = new QShortcut(key, d.window, d.window.data(), &QWidget::close);
            shortcut->setContext(Qt::WindowShortcut);
        }
    }
    QTextBrowser* w = d.window;
    w->setWindowTitle(HelpText(THelpText::Title));
    if (QFileInfo(d.file).isFile()) {
        w->setSource(QUrl::fromLocalFile(QFileInfo(d.file).absoluteFilePath()));
        // Scrolling waits until the window is shown and laid out, if it is not yet.
        w->scrollToAnchor(topic);
    } else {
        const QString name = d.file.toHtmlEscaped();
        w->setHtml(HelpText(THelpText::Missing).arg(name));
    }
    w->show();
    w->raise();
    w->activateWindow();
}

bool THelp::IsOpen() const { return m_impl->window && m_impl->window->isVisible(); }
QTextBrowser* THelp::Browser() const { return m_impl->window; }
