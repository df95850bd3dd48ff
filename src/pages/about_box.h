#pragma once

#include <QDialog>

namespace ordalis {

enum class AboutControl : int {
    Ok = 1,
    Logo = 1001,
    ProductName = 1002,
    Version = 1003,
    BottomStrip = 1004,
};

// The about box: logo, product name and version, OK.
class CABOUTDLG final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kVersionMajor = 2;
    static constexpr int kVersionMinor = 1;
    static constexpr int kVersionPatch = 1;

    explicit CABOUTDLG(QWidget* parent = nullptr);

    static QString versionText();
};

} // namespace ordalis
