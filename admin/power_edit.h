#pragma once

#include <QList>
#include <QMainWindow>
#include <QVariant>

#include <memory>

namespace Ui {
class power_edit;
}

// Assigns rights to users: ticks the rights of table power that the chosen
// user of [user] holds, and stores the ticked ones as that user's right list.
// A change takes effect at the user's next login.
class power_edit : public QMainWindow
{
    Q_OBJECT

public:
    explicit power_edit(QWidget *parent = nullptr);
    ~power_edit() override;

private slots:
    void on_comboBox_currentTextChanged(const QString &arg1);
    void on_pushButton_clicked();
    void on_tableWidget_cellChanged(int row, int column);

private:
    QList<int> rowsChangedElsewhere(const QString &user) const;

    std::unique_ptr<Ui::power_edit> m_ui;
    // The chosen user's right list as read, the condition of the save;
    // invalid when no row was read.
    QVariant m_loadedRights;
};
