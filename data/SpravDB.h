#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVector>

#include <functional>

class QSqlQuery;
class QStandardItem;
class QStandardItemModel;
struct InspectionMetricParam;
struct InspectionTest;

// One use of the reference-book database: folders of questions and questions,
// folders of tests and tests (a Russian and an international set of each), the
// tag tree text and the metric-parameter catalogue. Made on the stack around a
// few operations: construction opens the shared connection on sPathFileSprav
// and adds missing tables, destruction closes it.
//
// A file that is not a regular file, not an SQLite database, or holds schema
// objects the program does not create (triggers, views, other tables or
// columns) is not opened: such objects would run inside every statement.
//
// Results: NotOpen when there is no usable database (nothing is read or
// written), Done otherwise; inserts return the new row id, or 0 when no row
// could be written; updates, deletes and the tag and catalogue writes return
// Failed when they did not go through.
class SpravDB : public QObject
{
    Q_OBJECT

public:
    enum class Result { Done, NoRow, NotOpen, Failed, TooLarge };

    // Roles of the tree items.
    enum ItemRole { IdRole = Qt::UserRole + 1, KindRole = Qt::UserRole + 2 };

    // The reference-book file; set once by the main window from the settings.
    static QString sPathFileSprav;
    // Chooses the international (_usa) question and test tables; each caller
    // sets it right before it constructs a SpravDB for such an operation.
    static bool bUSA;

    SpravDB();
    ~SpravDB() override;

    bool isOpen() const;
    // Why the file was refused; empty when it opened, when no file is set or
    // when it could not be opened at all.
    QString refusal() const { return m_refusal; }

    int insertQuest(int folderId, const QString &text, int kind);
    Result updateQuest(int id, const QString &text, int kind);
    Result deleteQuest(int id);
    int insertFolderQuest(int parentId, const QString &name);
    Result updateFolderQuest(int id, const QString &name);
    Result deleteFolderQuest(int id);

    // Done when the row was read into test; NoRow when there is no such row
    // or its data is damaged, and test is left as it was.
    Result readTest(int id, InspectionTest &test);
    int insertFolderTest(int parentId, const QString &name);
    Result updateFolderTest(int id, const QString &name);
    Result deleteFolderTest(int id);
    int insertTest(int folderId, InspectionTest &test);
    // Renames the stored test; a missing or damaged row is left untouched (Failed).
    Result updateTest(int id, const QString &name);
    Result deleteTest(int id);

    // The tag tree text, stored as it comes; text is left as it was when none
    // is stored, and when it could not be read (Failed).
    Result readTags(QString &text);
    // Failed when the text could not be stored.
    Result writeTags(const QString &text);
    // Reads the tag tree text, hands it to change and stores what it gives,
    // all in one write transaction: keys another writer stores meanwhile wait
    // for it and are not written over. Failed, with nothing stored, when the
    // book is busy beyond the short wait or a statement fails.
    Result updateTags(const std::function<QString(const QString &stored)> &change);

    // Appends the catalogue to params without clearing it; one of more than
    // MaxTreeRows rows is not read (TooLarge).
    Result readMetricVal(QVector<InspectionMetricParam> &params);
    // Replaces the catalogue as a whole; on a failure the old one stays (Failed).
    Result writeMetricVal(const QVector<InspectionMetricParam> &params);

    // Fill the model from a folder down under parent (the model's top level when
    // null), then sort every level by text. A folder is filled once, however
    // its parent ids loop; folders deeper than MaxFolderDepth below the start
    // are left out with their contents.
    Result loadQuestTree(QStandardItemModel *model, int folderId, QStandardItem *parent);
    Result loadTestTree(QStandardItemModel *model, int folderId, QStandardItem *parent);
    // Folders of the table the last fill read that it did not show: too deep,
    // or (filling from the top, folder 0) never reached because their parent
    // chain loops or breaks off.
    int skippedFolders() const { return m_skippedFolders; }
    static constexpr int MaxFolderDepth = 64;
    // A tree of more folders and rows than MaxTreeRows, or more than
    // MaxTreeBytes of names, questions or tests, is not filled (TooLarge):
    // far past any real book, its items would exhaust memory. Counted before
    // anything is read; storedRows() tells how many rows the tables hold.
    static constexpr qint64 MaxTreeRows = 200000;
    static constexpr qint64 MaxTreeBytes = 64 << 20;
    qint64 storedRows() const { return m_storedRows; }

    // The items the trees are made of, also for callers that add rows themselves.
    static QStandardItem *newQuestFolderItem(int id, const QString &name);
    static QStandardItem *newTestFolderItem(int id, const QString &name);
    static QStandardItem *newQuestItem(int id, int kind, const QString &text);
    static QStandardItem *newTestItem(int id, const InspectionTest &test);

    // The stored form of a question: its kind, a line break and the text.
    static QString questText(int kind, const QString &text);
    // Splits a stored question into kind (-1 when none is stored) and text.
    static void splitQuestText(const QString &stored, int &kind, QString &text);

private:
    enum class Tree { Quest, Test };

    // A question or test table of the set bUSA chooses.
    static QString table(const char *name);
    void createMissingTables();
    bool run(QSqlQuery &query, const QString &statement, const QVariantList &values);
    Result runStatement(const QString &statement, const QVariantList &values);
    int insertRow(const QString &statement, const QVariantList &values);
    Result deleteRow(const char *name, int id);
    int insertFolder(const char *name, int parentId, const QString &folderName);
    Result updateFolder(const char *name, int id, const QString &folderName);
    Result loadTree(Tree tree, QStandardItemModel *model, int folderId, QStandardItem *parent);
    bool withinTreeBounds(const QString &folders, const QString &rows, const char *column);
    // Rows of the table, counted from its pages alone; -1 when it cannot be read.
    static qint64 rowCount(const QString &table);
    void refuse(const QString &why);
    QStandardItem *newRowItem(Tree tree, int id, const QVariant &stored) const;

    bool m_open = false;
    QString m_refusal;
    int m_skippedFolders = 0;
    qint64 m_storedRows = 0;
};
