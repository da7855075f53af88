// PlaySound: one voice of the mixer that each new sound takes over, and the table of WAVE
// resources the window system registers.
#include "playsoundapi.h"

#include "Mixer.h"
#include "WaveFile.h"
#include "yonda_sound.h"

#include <cstring>
#include <map>
#include <string>
#include <strings.h>

namespace yonda::sound {

namespace {

// Resource names are numbers (below 0x10000, as MAKEINTRESOURCE makes them) or text.
struct ResourceKey {
    uintptr_t id = 0;
    std::string name; // upper-cased; empty for a numbered resource

    static ResourceKey From(LPCSTR name)
    {
        ResourceKey key;
        auto value = reinterpret_cast<uintptr_t>(name);
        if (value < 0x10000) {
            key.id = value;
        } else {
            key.name = name;
            for (char& c : key.name)
                c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        return key;
    }
    bool operator<(const ResourceKey& other) const { return id != other.id ? id < other.id : name < other.name; }
};

class WaveResources {
public:
    void Set(HMODULE module, LPCSTR name, const void* bytes, DWORD size)
    {
        std::lock_guard lock(m_mutex);
        auto key = std::make_pair(module, ResourceKey::From(name));
        if (!bytes) {
            m_entries.erase(key);
            return;
        }
        auto* begin = static_cast<const uint8_t*>(bytes);
        m_entries[key].assign(begin, begin + size);
    }

    // A resource of the module asked for, else of any module: the program is one module and
    // callers pass whichever instance handle they hold.
    std::shared_ptr<SampleBlock> Load(HMODULE module, LPCSTR name)
    {
        std::lock_guard lock(m_mutex);
        ResourceKey key = ResourceKey::From(name);
        auto found = m_entries.find(std::make_pair(module, key));
        if (found == m_entries.end()) {
            for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
                if (!(it->first.second < key) && !(key < it->first.second)) {
                    found = it;
                    break;
                }
            }
        }
        if (found == m_entries.end())
            return nullptr;
        return ReadWaveMemory(found->second.data(), found->second.size());
    }

private:
    std::mutex m_mutex;
    std::map<std::pair<HMODULE, ResourceKey>, std::vector<uint8_t>> m_entries;
};

WaveResources& Resources()
{
    static WaveResources resources;
    return resources;
}

// The sound PlaySound is playing. Made after the mixer, so it is gone before the mixer goes.
class SystemSound {
public:
    SystemSound() : m_mixer(Mixer::Instance())
    {
        m_voice.losable = false;
        std::lock_guard lock(m_mixer.Mutex());
        m_mixer.Add(&m_voice);
    }
    ~SystemSound()
    {
        std::lock_guard lock(m_mixer.Mutex());
        m_mixer.Remove(&m_voice);
    }

    bool IsPlaying()
    {
        std::lock_guard lock(m_mixer.Mutex());
        return m_voice.playing;
    }

    void Stop()
    {
        std::lock_guard lock(m_mixer.Mutex());
        m_voice.playing = false;
        m_mixer.NotifyStopped();
    }

    void Play(std::shared_ptr<SampleBlock> block, bool loop, bool wait)
    {
        m_mixer.EnsureOutput();
        std::unique_lock lock(m_mixer.Mutex());
        m_voice.block = std::move(block);
        m_voice.position = 0;
        m_voice.looping = loop;
        m_voice.playing = true;
        m_mixer.NotifyStopped(); // a waiting synchronous caller's sound was replaced
        if (wait) {
            const auto* mine = m_voice.block.get();
            m_mixer.WaitUntilStopped(lock, m_voice, [&] { return m_voice.block.get() != mine; });
        }
    }

private:
    Mixer& m_mixer;
    Voice m_voice;
};

SystemSound& System()
{
    static SystemSound sound;
    return sound;
}

} // namespace

} // namespace yonda::sound

BOOL PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound)
{
    using namespace yonda::sound;
    SystemSound& system = System();
    if (!pszSound || (fdwSound & SND_PURGE)) {
        system.Stop();
        return TRUE;
    }
    if ((fdwSound & SND_NOSTOP) && system.IsPlaying())
        return FALSE;
    // A looping sound would never give a synchronous caller back.
    if ((fdwSound & SND_LOOP) && !(fdwSound & SND_ASYNC))
        return FALSE;

    std::shared_ptr<SampleBlock> block;
    if ((fdwSound & SND_RESOURCE) == SND_RESOURCE) {
        block = Resources().Load(hmod, pszSound);
    } else if (fdwSound & SND_MEMORY) {
        // A memory image carries its own length in the RIFF header.
        const auto* bytes = reinterpret_cast<const uint8_t*>(pszSound);
        if (std::memcmp(bytes, "RIFF", 4) == 0) {
            DWORD size = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<DWORD>(bytes[7]) << 24);
            block = ReadWaveMemory(bytes, size <= 0x7FFFFFF7 ? size + 8 : 0);
        }
    } else if (!(fdwSound & SND_ALIAS)) {
        // Named sounds of the system (aliases) do not exist here; names are files.
        block = ReadWaveFile(pszSound);
    }
    if (!block) {
        // No default sound to fall back on: the old one stops, as when the new one would start.
        if (!(fdwSound & SND_NOSTOP))
            system.Stop();
        return FALSE;
    }
    system.Play(std::move(block), (fdwSound & SND_LOOP) != 0, !(fdwSound & SND_ASYNC));
    return TRUE;
}

void YondaRegisterWaveResource(HMODULE module, LPCSTR name, const void* bytes, DWORD size)
{
    if (!name)
        return;
    yonda::sound::Resources().Set(module, name, bytes, size);
}
