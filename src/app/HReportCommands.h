#pragma once
// The main window's report commands: File > Export to CSV (32863), File >
// Print (57607) and Print Preview (57609). The export writes through the
// reports' CSV writer; printing paints the reports' sheets through Qt's print
// dialogs (a printer, or a PDF file), with the printing flag raised while a
// job runs so that the window is not closed under it.
class CMainFrame;
class CRP57App;
class QPrinter;

namespace HReportCommands {

void Install(CMainFrame& frame, CRP57App& app);

void OnExportCsv(CMainFrame& frame, CRP57App& app);
void OnFilePrint(CMainFrame& frame, CRP57App& app);
void OnFilePrintPreview(CMainFrame& frame, CRP57App& app);

// Prints the document's report on `printer` (its page range honoured), the
// printing flag raised meanwhile; with `keepWindowLive` the window repaints
// and hears close requests between sheets. Returns the number of sheets
// printed (0: none; also when a job already runs).
int PrintDocument(CMainFrame& frame, CRP57App& app, QPrinter& printer, bool keepWindowLive = true);

} // namespace HReportCommands
