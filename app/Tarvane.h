#pragma once

#include <QDialog>

class Tarvane : public QDialog {
    Q_OBJECT
public:
    explicit Tarvane(QWidget* parent = nullptr);
};
