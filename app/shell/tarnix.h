#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QString>

#include <memory>

class QAbstractButton;
class QLabel;
class QToolButton;

namespace Ui {
class tarnix;
}

// The launcher of the program: opens the business forms from its menus, from
// the big buttons of its home page and from the report buttons, and shows
// the company and user of the login in its status bar. Every opening makes a
// new, independent window owned by this one, so closing it closes them all.
class tarnix : public QMainWindow
{
    Q_OBJECT

public:
    explicit tarnix(QWidget *parent = nullptr);
    ~tarnix() override;

    // The three style sheets of the window's buttons: the home tool buttons,
    // the page tool buttons and the report push buttons.
    static QString homeButtonSheet();
    static QString pageButtonSheet();
    static QString reportButtonSheet();

public slots:
    void action_all_clicked();
    void button_all_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_8_clicked();

private:
    struct Entry;
    static const QList<Entry> &entries();

    QToolButton *addHomeButton(QWidget *frame, const QString &text, const QString &icon,
                               const QPoint &at, const QSize &size,
                               Qt::ToolButtonStyle buttonStyle);
    void showPage(int page, const QString &text, const QString &icon);
    void hidePageContents();
    void enableForForm(QAbstractButton *button);
    void open(const Entry &entry);
    void drawBanner();

    std::unique_ptr<Ui::tarnix> m_ui;
    QPixmap m_banner;
    QLabel *m_statusLabel = nullptr;
    QList<QToolButton *> m_pageHomeButtons;   // the three home buttons of frame_2
    QList<QToolButton *> m_listHomeButtons;   // the four home buttons of frame_3
    QList<QToolButton *> m_pageButtons;       // one per process page
};
