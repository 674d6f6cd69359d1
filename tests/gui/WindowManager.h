// The window manager the maximise and minimise tests need.
#pragma once

class CWindowManagerRun {
public:
    // Starts openbox (or finds the one the run started) and waits until it
    // manages windows; false if it never does.
    bool Start();
    void Stop();
    ~CWindowManagerRun() { Stop(); }

private:
    long m_nPid = -1;
};
