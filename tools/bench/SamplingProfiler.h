// A sampling profiler for the benchmark programs: a thread of its own stops the watched thread
// about once a millisecond and notes where it is - the instruction, and the return addresses into
// this program found on its stack (values preceded by a call instruction) - and writes one line
// per sample. scripts/profile-report.py turns the lines into the functions that cost most, each
// on its own and with what it calls. The stack is searched, not walked (the code keeps no frame
// pointers), so a caller may be counted from a stale value now and then.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace kvbench {

class SamplingProfiler {
public:
    // Starts watching the calling thread.
    SamplingProfiler() {
        ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &m_thread, 0,
                          FALSE, DUPLICATE_SAME_ACCESS);
        const BYTE* base = reinterpret_cast<const BYTE*>(::GetModuleHandleA(nullptr));
        const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        m_low = reinterpret_cast<DWORD>(base);
        m_high = m_low + nt->OptionalHeader.SizeOfImage;
        m_sampler = std::thread([this] { Run(); });
    }
    ~SamplingProfiler() { Stop(); }

    // Samples are taken only while active (from the start on).
    void SetActive(bool active) { m_active = active; }

    void Stop() {
        m_stop = true;
        if (m_sampler.joinable()) m_sampler.join();
        if (m_thread) ::CloseHandle(m_thread);
        m_thread = nullptr;
    }

    // One line per sample: the instruction's address, then the return addresses, innermost first;
    // a first line names the program's image range.
    bool Write(const char* path) {
        Stop();
        FILE* f = std::fopen(path, "w");
        if (!f) return false;
        std::fprintf(f, "image %08lx %08lx\n", static_cast<unsigned long>(m_low),
                     static_cast<unsigned long>(m_high));
        for (const std::vector<DWORD>& s : m_samples) {
            for (size_t i = 0; i < s.size(); ++i)
                std::fprintf(f, i ? " %08lx" : "%08lx", static_cast<unsigned long>(s[i]));
            std::fprintf(f, "\n");
        }
        std::fclose(f);
        return true;
    }

private:
    // Whether the bytes before `a` (inside the image) end with a call instruction.
    bool AfterCall(DWORD a) const {
        if (a < m_low + 8 || a >= m_high) return false;
        const BYTE* p = reinterpret_cast<const BYTE*>(a);
        return p[-5] == 0xE8 || (p[-2] == 0xFF && (p[-1] & 0x38) == 0x10) ||
               (p[-3] == 0xFF && (p[-2] & 0x38) == 0x10) || (p[-6] == 0xFF && (p[-5] & 0x38) == 0x10) ||
               (p[-7] == 0xFF && (p[-6] & 0x38) == 0x10);
    }

    void Run() {
        std::vector<DWORD> stack(8192);
        while (!m_stop) {
            ::Sleep(1);
            if (!m_active) continue;
            if (::SuspendThread(m_thread) == static_cast<DWORD>(-1)) continue;
            CONTEXT context = {};
            context.ContextFlags = CONTEXT_CONTROL;
            SIZE_T got = 0;
            const bool ok = ::GetThreadContext(m_thread, &context) != FALSE;
            if (ok) {
                // Up to 32 KB of the stack; a shorter stack is read as far as it goes.
                for (SIZE_T n = stack.size() * 4; n >= 1024 && !got; n /= 2)
                    if (!::ReadProcessMemory(::GetCurrentProcess(), reinterpret_cast<void*>(context.Esp),
                                             stack.data(), n, &got))
                        got = 0;
            }
            ::ResumeThread(m_thread);
            if (!ok) continue;
            std::vector<DWORD> sample(1, context.Eip);
            for (SIZE_T i = 0; i < got / 4 && sample.size() < 48; ++i)
                if (AfterCall(stack[i])) sample.push_back(stack[i]);
            m_samples.push_back(std::move(sample));
        }
    }

    HANDLE m_thread = nullptr;
    DWORD m_low = 0, m_high = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_active{true};
    std::vector<std::vector<DWORD>> m_samples;
    std::thread m_sampler;
};

}  // namespace kvbench
