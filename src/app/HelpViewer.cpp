#include "app/HelpViewer.hpp"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/QtText.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {
namespace {

struct ViewerTexts {
    const char* title;
    const char* back;
    const char* contents;
    const char* close;
    const char* missing;
};

ViewerTexts viewerTexts(Language language) {
    if (language == Language::Japanese) {
        return {"ヘルプ", "戻る", "目次", "閉じる",
                "ヘルプページ %1 が見つかりません。次の場所を探しました:"};
    }
    return {"Help", "Back", "Contents", "Close",
            "The help pages %1 were not found. These folders were searched:"};
}

}  // namespace

QStringList helpSearchFolders() {
    QStringList folders;
    // Beside the program (Windows), then where a Linux install puts them.
    folders << QCoreApplication::applicationDirPath() + QStringLiteral("/help");
    folders << QDir::cleanPath(QCoreApplication::applicationDirPath() +
                               QStringLiteral("/../share/tessik/help"));
    folders << QStringLiteral(TESSIK_HELP_INSTALL_DIR);
    folders << QStringLiteral(TESSIK_HELP_SOURCE_DIR);
    folders.removeDuplicates();
    return folders;
}

std::optional<QString> findHelpIndex(Language language, const QStringList& folders) {
    const QString set = qs(helpBaseName(language));
    for (const QString& folder : folders) {
        const QString index = folder + QLatin1Char('/') + set + QStringLiteral("/index.html");
        if (QFileInfo(index).isFile()) return QFileInfo(index).absoluteFilePath();
    }
    return std::nullopt;
}

HelpViewer::HelpViewer(Language language, QStringList folders, QWidget* parent)
    : QDialog(parent), language_(language), folders_(std::move(folders)) {
    const ViewerTexts t = viewerTexts(language);
    setObjectName("helpViewer");
    setWindowTitle(QString::fromUtf8(t.title));
    setModal(false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint);

    browser_ = new QTextBrowser;
    browser_->setObjectName("helpBrowser");
    browser_->setOpenExternalLinks(true);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this, t] {
        const QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? QString::fromUtf8(t.title) : title);
    });

    auto* back = new QPushButton(QString::fromUtf8(t.back));
    back->setObjectName("backButton");
    back->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    auto* contents = new QPushButton(QString::fromUtf8(t.contents));
    contents->setObjectName("contentsButton");
    connect(contents, &QPushButton::clicked, this, &HelpViewer::showIndex);
    auto* close = new QPushButton(QString::fromUtf8(t.close));
    close->setObjectName("closeButton");
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(contents);
    bar->addStretch(1);
    bar->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);
    resize(720, 600);
}

void HelpViewer::showIndex() {
    if (const auto index = findHelpIndex(language_, folders_)) {
        browser_->setSource(QUrl::fromLocalFile(*index));
        return;
    }
    const ViewerTexts t = viewerTexts(language_);
    QString html = QStringLiteral("<p>") +
                   QString::fromUtf8(t.missing).arg(qs(helpBaseName(language_)).toHtmlEscaped()) +
                   QStringLiteral("</p><ul>");
    for (const QString& f : folders_)
        html += QStringLiteral("<li>") + f.toHtmlEscaped() + QStringLiteral("</li>");
    browser_->setHtml(html + QStringLiteral("</ul>"));
}

}  // namespace tessik::app
