// Placeholder until the help window lands.
#include "settings/Help.h"

struct THelp::Impl {
    QString file;
};

THelp::THelp(QWidget*) : m_impl(new Impl) {}
THelp::~THelp() { delete m_impl; }
void THelp::SetHelpFile(const QString& path) { m_impl->file = path; }
QString THelp::HelpFile() const { return m_impl->file; }
void THelp::Quit() {}
void THelp::ShowTopic(const QString&) {}
bool THelp::IsOpen() const { return false; }
