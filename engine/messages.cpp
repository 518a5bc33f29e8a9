#include "messages.h"

#include <QCoreApplication>

#include <cstddef>
#include <iterator>

namespace {

struct MessageEntry {
    TMorvexMessageId id;
    const char *source;
};

// The source texts, exactly as the system shows them in English (their odd
// spellings are part of what users and stored logs already know). Each entry
// names its own identifier so that the check below catches a slot out of place.
constexpr MessageEntry kMessages[] = {
    {MXE_NoDataSet, QT_TRANSLATE_NOOP("Morvex", "DataSet is not defined")},
    {MXE_NoDBGrid, QT_TRANSLATE_NOOP("Morvex", "DBGrid is not defined")},
    {MXE_NoListView, QT_TRANSLATE_NOOP("Morvex", "ListView is not defined")},
    {MXE_NoStringGrid, QT_TRANSLATE_NOOP("Morvex", "StrinGrid is not defined")},
    {MXE_NoFileName, QT_TRANSLATE_NOOP("Morvex", "File name is not specified")},
    {MXE_FileNotExists, QT_TRANSLATE_NOOP("Morvex", "File %s does not exist")},
    {MXE_MappingEmpty, QT_TRANSLATE_NOOP("Morvex", "Map is empty")},
    {MXE_FieldNotFound,
     QT_TRANSLATE_NOOP("Morvex", "Column %s is defined in the MAP is not found in the import destination")},
    {MXE_KeyColumnsNotDefined, QT_TRANSLATE_NOOP("Morvex", "Key columns are not defined")},
    {MXE_KeyColumnNotFound, QT_TRANSLATE_NOOP("Morvex", "Key column %s is not found in the import destination")},
    {MXE_NoStream, QT_TRANSLATE_NOOP("Morvex", "Stream must be assigned")},
    {MXE_ConvertError, QT_TRANSLATE_NOOP("Morvex", "Value '%s' can not be converted for column %s")},
    {MXE_QuoteNotClosed, QT_TRANSLATE_NOOP("Morvex", "The quoted field opened in line %d is not closed within %d MiB")},
    {MXE_NoSource, QT_TRANSLATE_NOOP("Morvex", "Source DataSet is not defined")},
    {MXE_SourceFieldNotFound, QT_TRANSLATE_NOOP("Morvex", "Field %s not found in the source DataSet")},
    {MXE_MapMissing, QT_TRANSLATE_NOOP("Morvex", "Missing definition of map")},
    {MXE_NeedDefineTextToFind, QT_TRANSLATE_NOOP("Morvex", "Text to find must be defined")},
    {MXE_DestinationClosed, QT_TRANSLATE_NOOP("Morvex", "Cannot perform this operation on a closed Import Destination")},
    {MXE_EmptyAllowedImports, QT_TRANSLATE_NOOP("Morvex", "Property AllowedImports can not contain empty set")},
    {MXE_XMLFieldListEmpty, QT_TRANSLATE_NOOP("Morvex", "XML field list is empty")},
    {MXE_XMLReadWithErrors, QT_TRANSLATE_NOOP("Morvex", "XML read with errors")},

    {MXW_ErrorLogStarted, QT_TRANSLATE_NOOP("Morvex", "%s - Import process started")},
    {MXW_ErrorLogFinished, QT_TRANSLATE_NOOP("Morvex", "%s - Import process finished")},
    {MXW_NoErrorsFound, QT_TRANSLATE_NOOP("Morvex", "No error found")},
    {MXW_SomeErrorsFound, QT_TRANSLATE_NOOP("Morvex", "%d error(s) found")},
    {MXW_Progress_Importing, QT_TRANSLATE_NOOP("Morvex", "Importing...")},
    {MXW_Progress_Finished, QT_TRANSLATE_NOOP("Morvex", "Import finished")},
    {MXW_Progress_Status, QT_TRANSLATE_NOOP("Morvex", "Status")},
    {MXW_Progress_Processed, QT_TRANSLATE_NOOP("Morvex", "Processed")},
    {MXW_Progress_Inserted, QT_TRANSLATE_NOOP("Morvex", "Inserted")},
    {MXW_Progress_Updated, QT_TRANSLATE_NOOP("Morvex", "Updated")},
    {MXW_Progress_Deleted, QT_TRANSLATE_NOOP("Morvex", "Deleted")},
    {MXW_Progress_Errors, QT_TRANSLATE_NOOP("Morvex", "Errors")},
    {MXW_Progress_Committed, QT_TRANSLATE_NOOP("Morvex", "Commited")},
    {MXW_Progress_Time, QT_TRANSLATE_NOOP("Morvex", "Time")},
    {MXW_Progress_Preparing, QT_TRANSLATE_NOOP("Morvex", "Preparing...")},
    {MXW_Progress_Aborted, QT_TRANSLATE_NOOP("Morvex", "Aborted")},
    {MXW_Progress_StateFinished, QT_TRANSLATE_NOOP("Morvex", "Finished")},
    {MXW_Progress_Paused, QT_TRANSLATE_NOOP("Morvex", "Paused")},
    {MXW_OK, QT_TRANSLATE_NOOP("Morvex", "OK")},
    {MXW_Cancel, QT_TRANSLATE_NOOP("Morvex", "Cancel")},
    {MXW_Title, QT_TRANSLATE_NOOP("Morvex", "Import data wizard")},
    {MXW_ImportFrom, QT_TRANSLATE_NOOP("Morvex", "Import from")},
    {MXW_Btn_Help, QT_TRANSLATE_NOOP("Morvex", "&Help")},
    {MXW_Btn_Back, QT_TRANSLATE_NOOP("Morvex", "< &Back")},
    {MXW_Btn_Next, QT_TRANSLATE_NOOP("Morvex", "&Next >")},
    {MXW_Btn_Cancel, QT_TRANSLATE_NOOP("Morvex", "&Cancel")},
    {MXW_Btn_Execute, QT_TRANSLATE_NOOP("Morvex", "&Execute")},
    {MXW_StepOf, QT_TRANSLATE_NOOP("Morvex", "Step %d of %d")},
    {MXW_Question, QT_TRANSLATE_NOOP("Morvex", "Question")},
    {MXW_Warning, QT_TRANSLATE_NOOP("Morvex", "Warning")},
    {MXW_QuitQuestion, QT_TRANSLATE_NOOP("Morvex", "Do you want to quit?")},
    {MXW_AbortQuestion, QT_TRANSLATE_NOOP("Morvex", "Are you sure you want to abort import?")},
    {MXW_AbortCaption, QT_TRANSLATE_NOOP("Morvex", "Are you sure...")},
    {MXW_ImportType_XLS, QT_TRANSLATE_NOOP("Morvex", "MS Excel")},
    {MXW_ImportType_DBF, QT_TRANSLATE_NOOP("Morvex", "DBF")},
    {MXW_ImportType_XML, QT_TRANSLATE_NOOP("Morvex", "XML")},
    {MXW_ImportType_TXT, QT_TRANSLATE_NOOP("Morvex", "Text file")},
    {MXW_ImportType_CSV, QT_TRANSLATE_NOOP("Morvex", "CSV file")},
    {MXW_ImportType_Access, QT_TRANSLATE_NOOP("Morvex", "MS Access")},
    {MXW_Comma, QT_TRANSLATE_NOOP("Morvex", "Comma")},
    {MXW_Comma_Tab, QT_TRANSLATE_NOOP("Morvex", "TAB")},
    {MXW_Comma_Space, QT_TRANSLATE_NOOP("Morvex", "SPACE")},
    {MXW_Quote, QT_TRANSLATE_NOOP("Morvex", "Quote")},
    {MXW_SourceFileName, QT_TRANSLATE_NOOP("Morvex", "Source file name")},
    {MXW_TemplateOptions, QT_TRANSLATE_NOOP("Morvex", " Template Options ")},
    {MXW_GoToLastPage, QT_TRANSLATE_NOOP("Morvex", "Go to the last page after loading template")},
    {MXW_AutoSaveTemplate, QT_TRANSLATE_NOOP("Morvex", "Save template automatically when wizard closes")},
    {MXW_LoadTemplate, QT_TRANSLATE_NOOP("Morvex", "Load template from file...")},
    {MXW_Tip_XLS,
     QT_TRANSLATE_NOOP("Morvex", "Use the Range Editor to add/edit ranges or click individual cells with Shift or "
                                 "Ctrl pressed. Press Enter to apply selection or Escape to cancel.")},
    {MXW_Tip_DBF,
     QT_TRANSLATE_NOOP("Morvex", "Click the \"Add\" button to set the accordance between the imported column and "
                                 "the table field or click the \"Remove\" button to remove one.")},
    {MXW_Tip_XML,
     QT_TRANSLATE_NOOP("Morvex", "Click the \"Add\" button to set the accordance between the imported column and "
                                 "the table field or click the \"Remove\"button to remove one.")},
    {MXW_Tip_TXT,
     QT_TRANSLATE_NOOP("Morvex", "Double click to add or remove column separators. Click at the area between "
                                 "separators to define the imported column.")},
    {MXW_Tip_CSV,
     QT_TRANSLATE_NOOP("Morvex", "Select field name from the list box, then click at the column to import this "
                                 "field to.")},
    {MXW_Fields, QT_TRANSLATE_NOOP("Morvex", "Fields")},
    {MXW_DataSet, QT_TRANSLATE_NOOP("Morvex", "DataSet")},
    {MXW_Add, QT_TRANSLATE_NOOP("Morvex", "Add")},
    {MXW_AutoFill, QT_TRANSLATE_NOOP("Morvex", "Auto fill")},
    {MXW_Remove, QT_TRANSLATE_NOOP("Morvex", "Remove")},
    {MXW_Clear, QT_TRANSLATE_NOOP("Morvex", "Clear")},
    {MXW_SkipCols, QT_TRANSLATE_NOOP("Morvex", "Skip col(s)")},
    {MXW_SkipRows, QT_TRANSLATE_NOOP("Morvex", "Skip row(s)")},
    {MXW_SkipLines, QT_TRANSLATE_NOOP("Morvex", "Skip line(s)")},
    {MXW_SkipDeleted, QT_TRANSLATE_NOOP("Morvex", "Skip Deleted Rows")},
    {MXW_TXT_Position, QT_TRANSLATE_NOOP("Morvex", "P")},
    {MXW_TXT_Size, QT_TRANSLATE_NOOP("Morvex", "S")},
    {MXW_CSV_GridCol, QT_TRANSLATE_NOOP("Morvex", "Column_%d")},
    {MXW_CSV_ColNumber, QT_TRANSLATE_NOOP("Morvex", "Col Number")},
    {MXW_XLS_Ranges, QT_TRANSLATE_NOOP("Morvex", "Ranges")},
    {MXW_XLS_AddRange, QT_TRANSLATE_NOOP("Morvex", "Add Range")},
    {MXW_XLS_EditRange, QT_TRANSLATE_NOOP("Morvex", "Edit Range")},
    {MXW_XLS_DelRange, QT_TRANSLATE_NOOP("Morvex", "Del Range")},
    {MXW_XLS_MoveRangeUp, QT_TRANSLATE_NOOP("Morvex", "Move Range Up")},
    {MXW_XLS_MoveRangeDown, QT_TRANSLATE_NOOP("Morvex", "Move Range Down")},
    {MXW_XLS_AutoFillCols, QT_TRANSLATE_NOOP("Morvex", "Auto fill cols")},
    {MXW_XLS_AutoFillRows, QT_TRANSLATE_NOOP("Morvex", "Auto fill rows")},
    {MXW_XLS_ClearFieldRanges, QT_TRANSLATE_NOOP("Morvex", "Clear field ranges")},
    {MXW_XLS_ClearAllRanges, QT_TRANSLATE_NOOP("Morvex", "Clear all ranges")},
    {MXW_Access_FromTable, QT_TRANSLATE_NOOP("Morvex", "I would like to import data from a table")},
    {MXW_Access_FromSQL, QT_TRANSLATE_NOOP("Morvex", "I would like to import data from an SQL query")},
    {MXW_Access_LoadQuery, QT_TRANSLATE_NOOP("Morvex", "Load query from file")},
    {MXW_Access_SaveQuery, QT_TRANSLATE_NOOP("Morvex", "Save query to file")},
    {MXW_Access_CustomQuery, QT_TRANSLATE_NOOP("Morvex", "Custom query")},
    {MXW_Verb_Map, QT_TRANSLATE_NOOP("Morvex", "Map...")},
    {MXW_Verb_FieldFormats, QT_TRANSLATE_NOOP("Morvex", "Field formats...")},
    {MXW_Editor_Caption, QT_TRANSLATE_NOOP("Morvex", " -- Component editor")},
    {MXW_Editor_XLSCaption, QT_TRANSLATE_NOOP("Morvex", " - Component Editor")},
    {MXW_Editor_Destination, QT_TRANSLATE_NOOP("Morvex", "Destination")},
    {MXW_Editor_Source, QT_TRANSLATE_NOOP("Morvex", "Source")},
    {MXW_Editor_AutoFill, QT_TRANSLATE_NOOP("Morvex", "Auto Fill")},
    {MXW_Editor_Pos, QT_TRANSLATE_NOOP("Morvex", "Pos")},
    {MXW_Editor_Size, QT_TRANSLATE_NOOP("Morvex", "Size")},
    {MXW_Editor_Col, QT_TRANSLATE_NOOP("Morvex", "Col")},
    {MXW_Editor_Skip, QT_TRANSLATE_NOOP("Morvex", "Skip")},
    {MXW_Editor_Lines, QT_TRANSLATE_NOOP("Morvex", "line(s)")},
    {MXW_Editor_Column, QT_TRANSLATE_NOOP("Morvex", "Column")},
    {MXW_Editor_ClearAll, QT_TRANSLATE_NOOP("Morvex", "Clear all")},
    {MXW_Editor_AutoFillColumns, QT_TRANSLATE_NOOP("Morvex", "Auto fill columns")},
    {MXW_Editor_FileNotExists, QT_TRANSLATE_NOOP("Morvex", "File %s doesn't exist. Continue ?")},
    {MXW_Editor_ClearMap, QT_TRANSLATE_NOOP("Morvex", "File name was changed. Want you clear map list ?")},

    {MXWDF_BaseFormats, QT_TRANSLATE_NOOP("Morvex", "Base formats")},
    {MXWDF_DataFormats, QT_TRANSLATE_NOOP("Morvex", "Data formats")},
    {MXWDF_Separators, QT_TRANSLATE_NOOP("Morvex", "Separators")},
    {MXWDF_Decimal, QT_TRANSLATE_NOOP("Morvex", "Decimal")},
    {MXWDF_Thousand, QT_TRANSLATE_NOOP("Morvex", "Thousand")},
    {MXWDF_Date, QT_TRANSLATE_NOOP("Morvex", "Date")},
    {MXWDF_Time, QT_TRANSLATE_NOOP("Morvex", "Time")},
    {MXWDF_DateTimeFormats, QT_TRANSLATE_NOOP("Morvex", "Date and Time formats")},
    {MXWDF_ShortDate, QT_TRANSLATE_NOOP("Morvex", "Short date")},
    {MXWDF_LongDate, QT_TRANSLATE_NOOP("Morvex", "Long date")},
    {MXWDF_ShortTime, QT_TRANSLATE_NOOP("Morvex", "Short time")},
    {MXWDF_LongTime, QT_TRANSLATE_NOOP("Morvex", "Long time")},
    {MXWDF_BooleanTrue, QT_TRANSLATE_NOOP("Morvex", "Boolean true")},
    {MXWDF_BooleanFalse, QT_TRANSLATE_NOOP("Morvex", "Boolean false")},
    {MXWDF_NullValues, QT_TRANSLATE_NOOP("Morvex", "Null Values")},
    {MXWDF_Tuning, QT_TRANSLATE_NOOP("Morvex", "Tuning")},
    {MXWDF_FieldName, QT_TRANSLATE_NOOP("Morvex", "Field name")},
    {MXWDF_GeneratorValue, QT_TRANSLATE_NOOP("Morvex", "Generator value")},
    {MXWDF_GeneratorStep, QT_TRANSLATE_NOOP("Morvex", "Generator step")},
    {MXWDF_ConstantValue, QT_TRANSLATE_NOOP("Morvex", "Constant value")},
    {MXWDF_NullValue, QT_TRANSLATE_NOOP("Morvex", "Null value")},
    {MXWDF_DefaultValue, QT_TRANSLATE_NOOP("Morvex", "Default value")},
    {MXWDF_LeftQuote, QT_TRANSLATE_NOOP("Morvex", "Left quote")},
    {MXWDF_RightQuote, QT_TRANSLATE_NOOP("Morvex", "Right quote")},
    {MXWDF_QuoteAction, QT_TRANSLATE_NOOP("Morvex", "Quote action")},
    {MXWDF_CharCase, QT_TRANSLATE_NOOP("Morvex", "Char case")},
    {MXWDF_CharSet, QT_TRANSLATE_NOOP("Morvex", "Char set")},
    {MXWDF_Replacements, QT_TRANSLATE_NOOP("Morvex", "Replacements")},
    {MXWDF_AsIs, QT_TRANSLATE_NOOP("Morvex", "As Is")},
    {MXWDF_QuoteAction_None, QT_TRANSLATE_NOOP("Morvex", "None")},
    {MXWDF_QuoteAction_Add, QT_TRANSLATE_NOOP("Morvex", "Add")},
    {MXWDF_QuoteAction_Remove, QT_TRANSLATE_NOOP("Morvex", "Remove")},
    {MXWDF_CharCase_Upper, QT_TRANSLATE_NOOP("Morvex", "Upper")},
    {MXWDF_CharCase_Lower, QT_TRANSLATE_NOOP("Morvex", "Lower")},
    {MXWDF_CharCase_UpperFirst, QT_TRANSLATE_NOOP("Morvex", "Upper first")},
    {MXWDF_CharCase_UpperFirstWord, QT_TRANSLATE_NOOP("Morvex", "Upper first word")},
    {MXWDF_CharSet_Ansi, QT_TRANSLATE_NOOP("Morvex", "Ansi")},
    {MXWDF_CharSet_Oem, QT_TRANSLATE_NOOP("Morvex", "Oem")},
    {MXWDF_FE_CharCase_UpperFirst, QT_TRANSLATE_NOOP("Morvex", "UpperFirst")},
    {MXWDF_FE_CharCase_UpperFirstWord, QT_TRANSLATE_NOOP("Morvex", "UpperFirstWord")},
    {MXWDF_FE_CharSet_Ansi, QT_TRANSLATE_NOOP("Morvex", "ANSI")},
    {MXWDF_FE_CharSet_Oem, QT_TRANSLATE_NOOP("Morvex", "OEM")},
    {MXWDF_IgnoreCase_Yes, QT_TRANSLATE_NOOP("Morvex", "Yes")},
    {MXWDF_IgnoreCase_No, QT_TRANSLATE_NOOP("Morvex", "No")},
    {MXWDF_AddReplacement, QT_TRANSLATE_NOOP("Morvex", "Add Replacement")},
    {MXWDF_EditReplacement, QT_TRANSLATE_NOOP("Morvex", "Edit Replacement")},
    {MXWDF_DelReplacement, QT_TRANSLATE_NOOP("Morvex", "Del Replacement")},
    {MXWDF_RE_Title, QT_TRANSLATE_NOOP("Morvex", "Replacement")},
    {MXWDF_RE_TextToFind, QT_TRANSLATE_NOOP("Morvex", "Text to find")},
    {MXWDF_RE_ReplaceWith, QT_TRANSLATE_NOOP("Morvex", "Replace with")},
    {MXWDF_RE_IgnoreCase, QT_TRANSLATE_NOOP("Morvex", "Ignore case")},

    {MXWIM_CommitOptions, QT_TRANSLATE_NOOP("Morvex", "Commit Options")},
    {MXWIM_Advanced, QT_TRANSLATE_NOOP("Morvex", "Advanced")},
    {MXWIM_RecordCount, QT_TRANSLATE_NOOP("Morvex", " Record count ")},
    {MXWIM_ImportAllRecords, QT_TRANSLATE_NOOP("Morvex", "Import all records")},
    {MXWIM_ImportOnlyFirst, QT_TRANSLATE_NOOP("Morvex", "Import only first")},
    {MXWIM_Records, QT_TRANSLATE_NOOP("Morvex", "record(s)")},
    {MXWIM_Commit, QT_TRANSLATE_NOOP("Morvex", " Commit ")},
    {MXWIM_CommitWhenDone, QT_TRANSLATE_NOOP("Morvex", "Commit when done")},
    {MXWIM_CommitAfterEach, QT_TRANSLATE_NOOP("Morvex", "Commit after each")},
    {MXWIM_CloseAfterImport, QT_TRANSLATE_NOOP("Morvex", "Close wizard after import")},
    {MXWIM_ErrorLogGroup, QT_TRANSLATE_NOOP("Morvex", " Error Log ")},
    {MXWIM_ErrorLog, QT_TRANSLATE_NOOP("Morvex", "Error log")},
    {MXWIM_EnableErrorLog, QT_TRANSLATE_NOOP("Morvex", "Enable error log")},
    {MXWIM_ErrorLogFileName, QT_TRANSLATE_NOOP("Morvex", "Error Log File Name")},
    {MXWIM_RewriteErrorLog, QT_TRANSLATE_NOOP("Morvex", "Rewrite error log file if it exists")},
    {MXWIM_ShowErrorLog, QT_TRANSLATE_NOOP("Morvex", "Show error log after import")},
    {MXWIM_ImportMode, QT_TRANSLATE_NOOP("Morvex", " Import Mode ")},
    {MXWIM_Mode_InsertAll, QT_TRANSLATE_NOOP("Morvex", "Insert All")},
    {MXWIM_Mode_InsertNew, QT_TRANSLATE_NOOP("Morvex", "Insert New")},
    {MXWIM_Mode_Update, QT_TRANSLATE_NOOP("Morvex", "Update")},
    {MXWIM_Mode_UpdateOrInsert, QT_TRANSLATE_NOOP("Morvex", "Update or Insert")},
    {MXWIM_Mode_Delete, QT_TRANSLATE_NOOP("Morvex", "Delete")},
    {MXWIM_Mode_DeleteOrInsert, QT_TRANSLATE_NOOP("Morvex", "Delete or Insert")},
    {MXWIM_AddType, QT_TRANSLATE_NOOP("Morvex", " Add Type ")},
    {MXWIM_AddType_Append, QT_TRANSLATE_NOOP("Morvex", "Append")},
    {MXWIM_AddType_Insert, QT_TRANSLATE_NOOP("Morvex", "Insert")},
    {MXWIM_AvailableColumns, QT_TRANSLATE_NOOP("Morvex", "Available Columns")},
    {MXWIM_KeyColumns, QT_TRANSLATE_NOOP("Morvex", "Key Columns")},
    {MXWIM_SaveTemplate, QT_TRANSLATE_NOOP("Morvex", "Save template to file...")},

    {MXRE_Caption, QT_TRANSLATE_NOOP("Morvex", "Range")},
    {MXRE_RangeType, QT_TRANSLATE_NOOP("Morvex", " Range Type ")},
    {MXRE_RangeType_Col, QT_TRANSLATE_NOOP("Morvex", "Col")},
    {MXRE_RangeType_Row, QT_TRANSLATE_NOOP("Morvex", "Row")},
    {MXRE_RangeType_Cell, QT_TRANSLATE_NOOP("Morvex", "Cell")},
    {MXRE_Start, QT_TRANSLATE_NOOP("Morvex", " Start ")},
    {MXRE_Start_DataStarted, QT_TRANSLATE_NOOP("Morvex", "Where data started")},
    {MXRE_Start_Row, QT_TRANSLATE_NOOP("Morvex", "Start Row")},
    {MXRE_Start_Col, QT_TRANSLATE_NOOP("Morvex", "Start Col")},
    {MXRE_Finish, QT_TRANSLATE_NOOP("Morvex", " Finish ")},
    {MXRE_Finish_DataFinished, QT_TRANSLATE_NOOP("Morvex", "Where data finished")},
    {MXRE_Finish_Row, QT_TRANSLATE_NOOP("Morvex", "Finish Row")},
    {MXRE_Finish_Col, QT_TRANSLATE_NOOP("Morvex", "Finish Col")},
    {MXRE_Direction, QT_TRANSLATE_NOOP("Morvex", " Direction ")},
    {MXRE_Direction_Down, QT_TRANSLATE_NOOP("Morvex", "Down")},
    {MXRE_Direction_Up, QT_TRANSLATE_NOOP("Morvex", "Up")},
    {MXRE_Direction_Right, QT_TRANSLATE_NOOP("Morvex", "Right")},
    {MXRE_Direction_Left, QT_TRANSLATE_NOOP("Morvex", "Left")},
    {MXRE_Sheet, QT_TRANSLATE_NOOP("Morvex", " Sheet ")},
    {MXRE_Sheet_Default, QT_TRANSLATE_NOOP("Morvex", "Default Sheet")},
    {MXRE_Sheet_Custom, QT_TRANSLATE_NOOP("Morvex", "Custom Sheet")},
    {MXRE_Sheet_Custom_Number, QT_TRANSLATE_NOOP("Morvex", "Sheet Number")},
    {MXRE_Sheet_Custom_Name, QT_TRANSLATE_NOOP("Morvex", "Sheet Name")},

    {MXD_BooleanTrue, QT_TRANSLATE_NOOP("Morvex", "True")},
    {MXD_BooleanFalse, QT_TRANSLATE_NOOP("Morvex", "False")},
    {MXD_NullValue, QT_TRANSLATE_NOOP("Morvex", "Null")},

    {MXF_ASCII, QT_TRANSLATE_NOOP("Morvex", "ASCII files (*.txt;*.csv)|*.txt;*.csv|All files (*.*)|*.*")},
    {MXF_DBF, QT_TRANSLATE_NOOP("Morvex", "DBF files (*.dbf)|*.dbf|All files (*.*)|*.*")},
    {MXF_XML, QT_TRANSLATE_NOOP("Morvex", "XML files (*.xml)|*.xml|All files (*.*)|*.*")},
    {MXF_XLS, QT_TRANSLATE_NOOP("Morvex", "Microsoft Excel files (*.xls)|*.xls|All files (*.*)|*.*")},
    {MXF_TEMPLATE, QT_TRANSLATE_NOOP("Morvex", "Morvex Tmplate files (*.imp)| *.imp")},
    {MXF_ALL, QT_TRANSLATE_NOOP("Morvex", "All allowed files (*.txt;*.csv;*.dbf;*.xls)|*.txt;*.csv;*.dbf;*.xls")},
    {MXF_Access, QT_TRANSLATE_NOOP("Morvex", "Microsoft Access files (*.mdb)|*.mdb|All files (*.*)|*.*")},
    {MXF_CSV, QT_TRANSLATE_NOOP("Morvex", "CSV files (*.csv)|*.csv|All files (*.*)|*.*")},
    {MXF_TXT, QT_TRANSLATE_NOOP("Morvex", "Text files (*.txt)|*.txt|All files (*.*)|*.*")},
    {MXF_TEMPLATE_Save, QT_TRANSLATE_NOOP("Morvex", "Morvex template files (*.imp)|*.imp|All files (*.*)|*.*")},
    {MXF_LOG, QT_TRANSLATE_NOOP("Morvex", "Log files (*.log)|*.log|All files (*.*)|*.*")},
    {MXF_SQL, QT_TRANSLATE_NOOP("Morvex", "SQL files (*.sql)|*.sql|All files|*.*")},
    {MXF_DBase, QT_TRANSLATE_NOOP("Morvex", "DBase files (*.dbf)|*.dbf")},
    {MXF_XLS_Only, QT_TRANSLATE_NOOP("Morvex", "Microsoft Excel files (*.xls)|*.xls")},

    {MXL_Loading, QT_TRANSLATE_NOOP("Morvex", "Loading...")},
};

constexpr std::size_t kMessageCount = MXL_Loading + 1;

constexpr bool EveryEntryInItsOwnSlot()
{
    for (std::size_t i = 0; i < std::size(kMessages); ++i) {
        if (static_cast<std::size_t>(kMessages[i].id) != i)
            return false;
    }
    return true;
}

static_assert(std::size(kMessages) == kMessageCount, "one text per message identifier");
static_assert(EveryEntryInItsOwnSlot(), "the table is ordered like the enumeration");

} // namespace

QString MorvexText(TMorvexMessageId id)
{
    const auto index = static_cast<std::size_t>(id);
    if (index >= kMessageCount)
        return QString();
    return QCoreApplication::translate("Morvex", kMessages[index].source);
}

QString MorvexFormat(TMorvexMessageId id, const QStringList &args)
{
    return PascalFormat(MorvexText(id), args);
}

QString PascalFormat(const QString &pattern, const QStringList &args)
{
    QString result;
    result.reserve(pattern.size());
    qsizetype nextArg = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c != u'%' || i + 1 == pattern.size()) {
            result += c;
            continue;
        }
        const QChar spec = pattern.at(i + 1);
        if (spec == u'%') {
            result += u'%';
            ++i;
        } else if (spec == u's' || spec == u'S' || spec == u'd' || spec == u'D') {
            if (nextArg < args.size()) {
                result += args.at(nextArg++);
            } else {
                result += c;
                result += spec;
            }
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}
