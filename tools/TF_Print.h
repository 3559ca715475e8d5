#pragma once
// The hidden print sheet of a curved port's longitudinal section; it is never shown and works in its
// resize handler. For now the empty sheet, created at start with the other windows.

#include <QDialog>

class TF_Print : public QDialog {
    Q_OBJECT
public:
    explicit TF_Print(QWidget* parent = nullptr);
};
