#pragma once

// Record kinds of the subject file's data_type column.
namespace InspectionDataType {
enum : int {
    Struct = 1,            // test structure
    Recording = 2,         // recording with samples
    BallValuation = 4,     // points valuation
    MetricValuation = 8,   // metric valuation
    Singleton = 16,        // record under a fixed identifier
    RecordingHeader = 32,  // recording without samples, read after kind 2 and overriding it
    Questionnaire = 64,
    Photo = 128,
    FileContent = 256,
    FileName = 512,        // paired with the kind-256 rows by position
};
}  // namespace InspectionDataType
