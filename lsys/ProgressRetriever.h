#pragma once
// How a long computation (derivation, interpretation) reports its progress
// and learns that the user wants it stopped. Implemented by the progress
// dialog; both calls may cross threads, so the implementation makes them safe.

class ProgressRetriever {
public:
    virtual ~ProgressRetriever() = default;
    virtual void setProgress(int percent) = 0;
    virtual bool wasCancelled() = 0;
};
