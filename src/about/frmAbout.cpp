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
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(QStringLiteral("バージョン %1").arg(QLatin1String(kVersion)), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* disclaimer = new QLabel(
        QStringLiteral("AutoRun CD のメニューを作成するエディタです。\n"
                       "本ソフトウェアは現状のまま提供されます。使用によって生じた\n"
                       "いかなる損害についても、作者は責任を負いません。\n"
                       "CD に収録するソフトウェアの使用許諾条件は各自でご確認ください。"),
        this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(disclaimer);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

} // namespace kz
