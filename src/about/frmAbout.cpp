#include "about/frmAbout.h"

#include "about/Version.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kz {

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Kazanoro"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() + 6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* version = new QLabel(QStringLiteral("バージョン %1").arg(QLatin1String(kVersion)), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* disclaimer = new QLabel(
        QStringLiteral("AutoRun CD のメニューを作成するエディタです。\n"
                       "本ソフトウェアは現状のまま提供されます。使用によって生じた\n"
                       "いかなる損害についても、作者は責任を負いません。\n"
                       "CD に収録するソフトウェアの使用許諾条件は各自でご確認ください。"),
        this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("cmdOK"));
    connect(okButton, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(disclaimer);
    layout->addWidget(okButton, 0, Qt::AlignRight);
}

} // namespace kz
