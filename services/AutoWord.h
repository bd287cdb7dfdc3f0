#pragma once
// Word through its automation interface, started as a local server for the handling of one
// file: open a document, print it or save it as PDF, quit Word. Every member is looked up by
// name. Results: 0 done, -1 Word could not be started or the document not opened, -2 it could
// not be printed or saved. After a failure Word has been quit; the object is then only
// destroyed.

#include <windows.h>
#include <oleauto.h>

class CAutoWord {
  public:
    CAutoWord();
    virtual ~CAutoWord();
    CAutoWord(const CAutoWord&) = delete;
    CAutoWord& operator=(const CAutoWord&) = delete;

    int StartWord();
    int PrintDocument(const char* path);
    int SaveDocumentAs(const char* path, const char* target);
    void QuitWord();

  private:
    // The document opened through Documents.Open, or null (Word quit, -1 is the answer).
    IDispatch* OpenDocument(const char* path);
    // Closes the document in Word; the caller still releases its reference.
    void CloseDocument(IDispatch* document);

    IDispatch* m_pApplication = nullptr;
    IDispatch* m_pDocuments = nullptr;
    bool m_bComInitialized = false;
};
