#pragma once

#include <QString>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace vantrel {

// The program's help viewer: a window (not modal) that shows the help file,
// an HTML document with one anchor per topic, with Contents, Back and
// Forward buttons.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Loads `helpFile` when it is not the file shown, scrolls to the topic
    // with the given context number, shows the window and brings it to the
    // front. A file that cannot be read is reported with alertBox (over
    // `from`) and nothing is shown; returns whether the topic is shown.
    bool showTopic(const QString& helpFile, int context, QWidget* from = nullptr);

    // The file shown and the context number of the last topic asked for.
    const QString& helpFile() const { return m_file; }
    int topic() const { return m_topic; }
    QTextBrowser* browser() const { return m_browser; }

private:
    void showContents();

    QTextBrowser* m_browser = nullptr;
    QPushButton* m_contents = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
    QString m_file;
    int m_topic = 0;
    bool m_placed = false;  // centred on the screen the first time it is shown
};

}  // namespace vantrel
