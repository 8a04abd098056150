#pragma once
// The about box: program name, version and date.

#include <QDialog>

class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildUi();
};
