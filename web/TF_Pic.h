#pragma once
// The advert window: the downloaded advert picture or a saying, under a greeting by the time of day.
// For now the empty window, created at start with the others.

#include <QDialog>

class TF_Pic : public QDialog {
    Q_OBJECT
public:
    explicit TF_Pic(QWidget* parent = nullptr);
};
