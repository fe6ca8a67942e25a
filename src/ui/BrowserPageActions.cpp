#include "ui/BrowserPageActions.h"

#include "platform/FileManager.h"
#include "platform/SpecialFolders.h"
#include "ui/BrowserEngineHost.h"
#include "ui/BrowserPage.h"
#include "ui/JapaneseFileList.h"
#include "ui/JapaneseTranslations.h"

#include <QDir>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QWebEngineDownloadRequest>
#include <QWebEngineView>

namespace {

QString fileNameFromTitle(const QString &title)
{
    QString name = title.simplified();
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar &c : name) {
        if (forbidden.contains(c) || c.unicode() < 0x20)
            c = u'_';
    }
    return name.isEmpty() ? QStringLiteral("page") : name.left(100);
}

} // namespace

BrowserPageActions::BrowserPageActions(BrowserEngineHost &engine, QWidget &panel, const Services &services)
    : m_engine(engine), m_panel(panel), m_services(services)
{
}

BrowserPageActions::~BrowserPageActions() = default;

QPrinter &BrowserPageActions::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void BrowserPageActions::print()
{
    // One print at a time: the engine renders asynchronously into the printer.
    QWebEngineView *view = m_engine.view();
    if (!view || m_printing)
        return;
    QPrintDialog dialog(&printer(), &m_panel);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_printing = true;
    QObject::connect(
        view, &QWebEngineView::printFinished, view, [this] { m_printing = false; }, Qt::SingleShotConnection);
    view->print(m_printer.get());
}

void BrowserPageActions::pageSetup()
{
    if (m_printing)
        return;
    QPageSetupDialog dialog(&printer(), &m_panel);
    dialog.exec();
}

void BrowserPageActions::saveAs()
{
    if (!m_engine.page())
        return;
    const QString name = fileNameFromTitle(m_engine.page()->title()) + QStringLiteral(".mhtml");
    const QString suggested =
        m_services.folders ? QDir(m_services.folders->path(SpecialFolder::Documents)).filePath(name) : name;
    QFileDialog dialog(&m_panel, QString(), suggested,
                       QStringLiteral("ウェブアーカイブ (*.mhtml *.mht);;すべてのファイル (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A platform dialog that speaks the system's other language gives way to Qt's, which speaks ours.
    if (!JapaneseTranslations::platformSpeaksJapanese()) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setProxyModel(new JapaneseFileList(&dialog));
    }
    const QString fileName = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    // The dialog runs its own loop: the engine may be gone by its end.
    if (fileName.isEmpty() || !m_engine.page())
        return;
    m_engine.page()->save(fileName, QWebEngineDownloadRequest::MimeHtmlSaveFormat);
}

void BrowserPageActions::showDocument(const QString &url)
{
    if (m_services.fileManager)
        m_services.fileManager->openDocument(QUrl(url));
}
