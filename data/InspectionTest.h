#pragma once

#include "AtomicValue.h"
#include "BinaryJsonObject.h"
#include "ChannelCode.h"
#include "InspectionAnalysisInterval.h"
#include "InspectionBallValuation.h"
#include "InspectionChannel.h"
#include "InspectionLabel.h"
#include "InspectionMetricValuation.h"
#include "InspectionOrder.h"
#include "InspectionTheme.h"

#include <QDateTime>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QUuid>
#include <QVector>

// One test of an examination: questions, presentation plan, recorded marks,
// 13 sample arrays with their channel records, and the scores given to it.
struct InspectionTest {
    QUuid id;
    // The stored test_id text of a test whose row key is no GUID in our own
    // form; empty otherwise. Saving under it keeps the test one row.
    QString foreignId;
    bool recorded = false;
    bool labelsModified = false;
    bool ShowAllQuestSecondMonitor = false;
    QUuid idsensor;
    // Ticks of the recording that took the previous frame again (no frame of
    // their own), and replies its unit sent unasked.
    int missedFrames = 0;
    int lineErrors = 0;
    QString name;
    InspectionAnalysisInterval ia;
    QVector<InspectionTheme> themis;
    QVector<InspectionTheme> themisNULL;
    QVector<InspectionLabel> labels;
    QVector<InspectionLabel> labelsForRestore;
    QVector<InspectionLabel> labelsNULL;
    QVector<InspectionOrder> orders;

    QVector<qint16> dataGSR, dataGSR_C, dataPG, dataRG_HI, dataRG_LO, dataTRM, dataMIC, dataAD,
        dataTGM, dataADVANCED, dataMIC2, dataAD2, dataRG_DIFF;
    InspectionChannel channelGSR, channelGSR_C, channelPG, channelRG_HI, channelRG_LO, channelTRM,
        channelMIC, channelAD, channelTGM, channelADVANCED, channelMIC2, channelAD2, channelRG_DIFF;

    BallValuationMap valuationBall_3210123;
    BallValuationMap valuationBall_101;
    BallValuationMap valuationBall_012;
    float valuationBall_ChannelK[3] = {1.0f, 1.0f, 1.0f};
    QSet<qint32> valuationBall_GroupsDisabled;
    MetricValuationMap valuationMetric;

    QVector<qint32> TimeMM;
    QDateTime DateTimeRecorded;
    QString Comments;
    // Set on the GUI thread, sent to the unit by the acquisition thread.
    AtomicValue<qint32> extraMode{0};
    AtomicValue<bool> extraModeChanged{false};

    InspectionTest();
    explicit InspectionTest(const QString &testName);

    // The test without its recording: identifier, name, flags, questions, plan,
    // comments and marks, but no sample arrays, time table or channel values,
    // so copying never touches the arrays an acquisition is filling.
    InspectionTest structureCopy() const;

    // The test_id under which the test's rows are stored.
    QString rowId() const { return foreignId.isEmpty() ? id.toString() : foreignId; }
    // The identity of the test stored under that test_id.
    void setIdFromRow(const QString &rowId);

    // --- JSON documents ---
    // The test-structure document. Writing strips line breaks, tabs and quotes
    // from the name in memory too, so the test matches what is stored.
    void toJson(QJsonObject &object);
    void fromJson(const QJsonObject &object);
    // The marks as stored, {"labelsNULL", "labels"} and {"labels"}; false
    // when they are too large for the format.
    bool labelsToJson(BinaryJsonObject::Value &value) const;
    void labelsFromJson(const QJsonObject &object);
    bool labelsForRestoreToJson(BinaryJsonObject::Value &value) const;
    void labelsForRestoreFromJson(const QJsonObject &object);
    void channelsToJson(QJsonObject &object) const;
    void channelsFromJson(const QJsonObject &object);
    // The samples as the "data" object of a recording, in its stored form:
    // written and read straight from the arrays. False when they are too large
    // for the format, or (reading) when the value is no object of number
    // arrays for every channel and the time table; the test is then untouched.
    bool samplesToJson(BinaryJsonObject::Value &value) const;
    bool samplesFromJson(const BinaryJsonObject::Value &value);
    // The same for samples that may be left in bytes read in pieces.
    bool samplesFromJson(StoredBytes &bytes, const BinaryJsonObject::Value &value);
    // Reading a "data" object of any other shape through Qt's JSON types.
    void samplesFromJson(const QJsonObject &object);
    // Scores and measured values; reading merges into what the test holds,
    // replacing entries under the same keys and removing none.
    // No points scores, default weights, no presentation left out, no metric values.
    void clearValuations();
    void ballValuationToJson(QJsonObject &object) const;
    void ballValuationFromJson(const QJsonObject &object);
    void metricValuationToJson(QJsonObject &object) const;
    void metricValuationFromJson(const QJsonObject &object);

    // --- channels and samples ---
    // The record of code 0-12; any other code yields a fallback record whose
    // display settings point at constant defaults.
    InspectionChannel &channel(int code);
    const InspectionChannel &channel(int code) const;
    InspectionChannel *findChannel(int code);
    InspectionChannel *channelAtPosition(int pos);
    QVector<qint16> *samples(int code);
    const QVector<qint16> *samples(int code) const;

    // True when any of the 13 sample arrays holds samples.
    bool samplesLoaded() const;
    int labelCount() const { return labels.size(); }
    int labelNullCount() const { return labelsNULL.size(); }
    int presentationCount() const;
    void clearRecording();

    // --- questions and presentation plan ---
    InspectionTheme &theme(int index);
    const InspectionTheme &theme(int index) const;
    int indexOfThemeType(int type) const;
    int countThemesOfType(int type) const;
    int countThemesOfSubType(int subType) const;
    int countPictureThemes() const;
    void addTheme(const QString &text, int kind, int group, int position);
    // One more presentation after the last, of every question, null ones first.
    void addPresentation();
    void renumberThemes(int subType);
    void renumberAllThemes();
    int lastGroup() const;
    InspectionOrder *findOrder(int group, int theme);
    InspectionOrder *swapOrderThemes(int group, int themeA, int themeB);
    InspectionOrder *orderTheme(int group, int n);
    int indexOfOrder(int group, int n) const;
    // Why the plan cannot be shown or edited, or empty when it is sound: after
    // its head entry each presentation 1, 2, ... opens with its header and
    // holds every question once, null questions first.
    QString planFault() const;
    // The four below: for tests.
    void addNeutralTheme(const QString &text) { themis.append(InspectionTheme(text, QuestionKind::Neutral)); }
    void addControlTheme(const QString &text) { themis.append(InspectionTheme(text, QuestionKind::Control)); }
    void addTestTheme(const QString &text) { themis.append(InspectionTheme(text, QuestionKind::Test)); }
    void addNullTheme(const QString &text) { themisNULL.append(InspectionTheme(text, -1)); }

    // --- texts: caption of a plan entry, the plan and the question list ---
    // The test's name, with the recording date of a recorded test.
    QString headerText() const;
    QString questionCaption(int planIndex) const;
    QString orderText() const;
    QString formatText() const;

    // --- recorded marks ---
    void appendLabel(const InspectionLabel &label);
    void removeLastLabel();
    InspectionLabel *findLabel(int group, int theme);
    InspectionLabel *labelBefore(int tick);
    InspectionLabel labelInForce(int tick) const;
    InspectionLabel *labelAfter(int group, int theme);
    bool isPresentationDone(int pos);
    bool canFinishRecording(int pos);
    int nextOrderIndex(int group, int theme, bool sameGroup);

private:
    void initChannels();
    int insertPlanEntry(int headerIndex, const InspectionOrder &entry, int position);
    const InspectionLabel *latestLabel() const;
    const InspectionLabel *labelAt(int tick) const;
};
