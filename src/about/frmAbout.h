#pragma once

#include <QDialog>

namespace kz {

// The About box: the program's title, its version and a word on the terms of
// use. Modeless; the main window keeps working while it is open.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);
};

} // namespace kz
