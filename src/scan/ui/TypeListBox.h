#pragma once

#include <QListWidget>
#include <QStringList>

class QAction;
class QMenu;

namespace vantrel {

class TypeLineDelegate;

// A list of type lines ("*.txt", a tab, "Plain text document") drawn as two
// aligned columns: patterns on the left, descriptions lined up after the
// widest pattern. The exact line is each item's text.
//
// Two ways of choosing lines: selection (extended selection; for editors and
// pickers) or ticks (a check box per line; for pick lists). When sorted, the
// list keeps its lines ordered without regard to case whatever the order of
// insertion. The widget owns its items and its delegate.
class TypeListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TypeListBox(QWidget* parent = nullptr);
    ~TypeListBox() override;

    void setSorted(bool sorted);
    bool isSorted() const { return m_sorted; }
    // Lines carry check boxes; selection is single and only moves the focus.
    void setTickable(bool tickable);
    bool isTickable() const { return m_tickable; }
    // Adds "Select All" and "Deselect All" to a context menu: they tick or
    // untick every line of a tickable list, and select or deselect every
    // line of any other (setAllChosen).
    void setSelectAllOffered(bool offered);
    void setAllChosen(bool chosen);

    // Replaces every line (sorted first when the list is sorted).
    void setLines(const QStringList& lines);
    QStringList lines() const;
    // Adds a line unless the list holds an equal one (compared without
    // regard to case); returns whether it was added.
    bool addLine(const QString& line);

    QStringList selectedLines() const;  // in list order
    int selectedCount() const;
    // Removes the selected lines, from the last to the first.
    void removeSelected();

    QStringList tickedLines() const;  // in list order
    int tickedCount() const;
    void setTicked(int row, bool ticked);
    bool isTicked(int row) const;
    // Ticks or unticks every line, then reports one tickedChanged().
    void setAllTicked(bool ticked);

    QMenu* contextMenu() const { return m_menu; }

Q_SIGNALS:
    // A tick was set or cleared (by the user or by setAllTicked).
    void tickedChanged();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QListWidgetItem* makeItem(const QString& line) const;
    void updateColumn();
    void onItemChanged(QListWidgetItem* item);

    TypeLineDelegate* m_delegate = nullptr;
    QMenu* m_menu = nullptr;
    bool m_sorted = false;
    bool m_tickable = false;
    bool m_bulkChange = false;
};

}  // namespace vantrel
