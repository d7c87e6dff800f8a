#include "about/frmAbout.h"

#include "about/Version.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kz {

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("<h2>Kazanoro</h2>"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    auto* version = new QLabel(QStringLiteral("バージョン %1").arg(QLatin1String(kVersion)), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* disclaimer = new QLabel(
        QStringLiteral("<p>AutoRun CD のメニューを作成するエディタです。</p>"
                       "<p>本ソフトウェアは現状のまま提供されます。使用によって生じた<br>"
                       "いかなる損害についても、作者は責任を負いません。<br>"
                       "CD に収録するソフトウェアの使用許諾条件は各自でご確認ください。</p>"),
        this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::close);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(disclaimer);
    layout->addWidget(buttons);
}

} // namespace kz
