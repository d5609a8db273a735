// The journal of effects over a machine: each effect one entry with the
// names a reader needs, reads none, and failures only where they matter.
#include <gtest/gtest.h>

#include <functional>

#include "platform/journal/journal_text.h"
#include "platform/journal/journaling_platform.h"
#include "support/machine_fixture.h"

namespace {

using namespace platform;
using testsupport::TestMachine;

// Answers a message box it owns, then ends with 7, one radio button cleared.
class AskingHandler : public DialogHandler {
public:
    explicit AskingHandler(Platform& platform) : platform_(platform) {}
    void OnInit(DialogWindow& window) override {
        platform_.MessageBox(window.Handle(), "Sure?", "Setup", MB_OKCANCEL);
        window.SetCheck(1004, false);
        window.End(7);
    }

private:
    Platform& platform_;
};

TEST(JournalingPlatform, EachEffectOneEntryReadsNone) {
    const struct Row {
        const char* name;
        const char* machineIni;
        std::function<void(TestMachine&, Platform&)> calls;
        std::vector<std::string> entries;
    } rows[] = {
        {"files", "",
         [](TestMachine& m, Platform& p) {
             m.Files().PutFile("C:\\a.txt", "a");
             p.GetFileAttributes("C:\\a.txt");
             p.FindFiles("C:\\*");
             p.fopen("C:\\a.txt", "r");
             p.DeleteFile("C:\\missing.txt");                                // nothing was there
             p.SetFileAttributes("C:\\a.txt", *p.GetFileAttributes("C:\\a.txt"));  // nothing changes
             p.SetFileAttributes("C:\\a.txt", FILE_ATTRIBUTE_READONLY);
             p.CopyFile("C:\\a.txt", "C:\\b c.txt", true);
             p.CopyFile("C:\\a.txt", "C:\\b c.txt", true);
             auto stream = p.fopen("C:\\c.txt", "w");
             stream->Write("x");
             stream->Flush();
             stream->Write("y");
             stream.reset();
             p.CreateDirectory("C:\\New\\");
             p.WritePrivateProfileString("S", "K", "V", "C:\\s.ini");
         },
         {"set attributes  path=C:\\a.txt  attributes=1", "copy file  from=C:\\a.txt  to=\"C:\\b c.txt\"  result=ok",
          "copy file  from=C:\\a.txt  to=\"C:\\b c.txt\"  result=failed", "open file  path=C:\\c.txt  mode=w",
          "write file  path=C:\\c.txt", "write file  path=C:\\c.txt", "write file  path=C:\\c.txt",
          "create folder  path=C:\\New\\  result=ok", "write profile  file=C:\\s.ini  section=S  key=K  value=V  result=ok  was=(none)"}},
        {"registry", "",
         [](TestMachine& m, Platform& p) {
             m.ImportRegistry("[HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Sub]\n");
             HKey software = 0, orvanta = 0;
             p.RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\", 0, software);
             p.RegOpenKeyEx(software, "\\Orvanta", 0, orvanta);
             p.RegSetValueEx(orvanta, "A", REG_SZ, std::string("x\0", 2));
             p.RegDeleteValue(orvanta, "A");
             p.RegDeleteValue(orvanta, "A");  // gone already
             p.RegDeleteKey(software, "Orvanta\\Sub");
             p.RegCloseKey(orvanta);
             p.RegSetValueEx(HKEY_CURRENT_USER, "B", REG_DWORD, std::string(4, '\0'));
         },
         {"set registry value  key=HKEY_LOCAL_MACHINE\\Software\\Orvanta  name=A  type=1  bytes=2  result=ok  was=(none)",
          "delete registry value  key=HKEY_LOCAL_MACHINE\\Software\\Orvanta  name=A  result=ok  was=x",
          "delete registry key  key=HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Sub  result=ok",
          "set registry value  key=HKEY_CURRENT_USER  name=B  type=4  bytes=4  result=ok  was=(none)"}},
        // What support needs to undo a run and to see what failed: the value
        // before, a file replaced, and the error of every refused effect.
        {"failures and what was there", "[Faults]\nRegSetValueEx = call 2\nRegDeleteKey = always\nSetupDiRemoveDevice = always\nExitWindowsEx = always\n"
         "CM_Reenumerate_DevNode = always\n[Devices]\nDevice = PCI\\VEN_1D9C&DEV_0111\n",
         [](TestMachine& m, Platform& p) {
             m.ImportRegistry("[HKEY_CURRENT_USER\\Audio]\n\"Format\"=\"Radio\"\n\"Count\"=dword:00000005\n\"Raw\"=hex:01,ff\n");
             m.Files().PutFile("C:\\a.txt", "a"), m.Files().PutFile("C:\\b.txt", "b"), m.Files().PutFile("C:\\s.ini", "[S]\r\nK=old\r\n");
             HKey audio = 0;
             std::uint32_t device = 0, root = 1;
             p.RegOpenKeyEx(HKEY_CURRENT_USER, "Audio", 0, audio);
             p.RegSetValueEx(audio, "Format", REG_SZ, "CD");
             p.RegSetValueEx(audio, "Count", REG_DWORD, std::string(4, '\0'));
             p.RegDeleteValue(audio, "Raw");
             p.RegDeleteKey(HKEY_CURRENT_USER, "Audio");
             p.CopyFile("C:\\a.txt", "C:\\b.txt", false);
             p.WritePrivateProfileString("S", "K", "new", "C:\\s.ini");
             const Handle set = p.SetupDiGetClassDevs(DIGCF_PRESENT | DIGCF_ALLCLASSES);
             p.SetupDiEnumDeviceInfo(set, 0, device);
             p.SetupDiRemoveDevice(set, device);
             p.CM_Reenumerate_DevNode(root, 0);
             p.ExitWindowsEx(EWX_REBOOT, 0);
         },
         {"set registry value  key=HKEY_CURRENT_USER\\Audio  name=Format  type=1  bytes=2  result=ok  was=Radio",
          "set registry value  key=HKEY_CURRENT_USER\\Audio  name=Count  type=4  bytes=4  result=failed  error=5  was=dword:5",
          "delete registry value  key=HKEY_CURRENT_USER\\Audio  name=Raw  result=ok  was=hex:01,ff",
          "delete registry key  key=HKEY_CURRENT_USER\\Audio  result=failed  error=5",
          "copy file  from=C:\\a.txt  to=C:\\b.txt  result=ok  replaced=yes",
          "write profile  file=C:\\s.ini  section=S  key=K  value=new  result=ok  was=old",
          "remove device  hardware id=\"\"  result=failed  error=5", "re-enumerate devices  result=failed  error=19",
          "restart requested  flags=2  reserved=0  result=failed  error=5"}},
        {"processes and windows", "[Windows]\nMixer = OVMixerFrame\n[Programs]\nLONG.EXE = runs 5000\n",
         [](TestMachine& m, Platform& p) {
             m.Files().PutFile("C:\\WINDOWS\\LONG.EXE", "MZ");
             const Handle process = p.CreateProcess("LONG.EXE /x", SW_SHOW);
             p.WaitForSingleObject(process, 1000);
             p.WaitForSingleObject(process, INFINITE);
             p.WinExec("missing.exe", SW_SHOW);
             p.SendMessage(p.FindWindowEx(std::string("OVMixerFrame"), std::nullopt), 0x0400, 0, 0);
             p.SendMessage(p.FindWindowEx(std::nullopt, std::string("Mixer")), WM_CLOSE, 0, 0);  // named when first found
             p.SendMessage(p.FindWindowEx(std::nullopt, std::string("Mixer")), WM_CLOSE, 0, 0);  // gone
             p.Sleep(10);
             p.BeginWaitCursor();
             p.BeginWaitCursor();
             p.EndWaitCursor();
             p.EndWaitCursor();
             p.OutputDebugString("a trace");
         },
         {"start process  command=\"LONG.EXE /x\"  folder=E:\\  result=started",
          "wait for process  command=\"LONG.EXE /x\"  ms=1000  result=timeout",
          "wait for process  command=\"LONG.EXE /x\"  ms=INFINITE  result=done",
          "run program  command=missing.exe  folder=E:\\  result=\"not found\"",
          "send message  window=(OVMixerFrame)  message=1024", "send message  window=(OVMixerFrame)  message=WM_CLOSE",
          "send message  window=(none)  message=WM_CLOSE", "sleep  ms=10", "wait cursor  shown=yes",
          "wait cursor  shown=no", "trace  text=\"a trace\""}},
        {"dialogs and message boxes", "[Answers]\nSure = OK\n",
         [](TestMachine&, Platform& p) {
             AskingHandler asking(p);
             p.DialogBox(130, 0, asking);
             p.DialogBox(999, 0, asking);
             p.MessageBox(0, "Done", "Setup", MB_OK);
         },
         {"dialog shown  dialog=130  title=\"Windows 98SE/ME device-driver architecture selection\"  owner=(none)",
          "message box  owner=\"dialog 130\"  caption=Setup  text=Sure?  buttons=\"OK Cancel\"  answer=OK",
          "dialog closed  dialog=130  result=7  controls=\"1004=unchecked 1005=unchecked\"", "dialog missing  dialog=999",
          "message box  owner=(none)  caption=Setup  text=Done  buttons=OK  answer=OK"}},
        {"devices and the restart", "[Devices]\nDevice = PCI\\VEN_1D9C&DEV_0111&SUBSYS_1, PCI\\VEN_1D9C&DEV_0111\n",
         [](TestMachine& m, Platform& p) {
             m.Files().PutFile("C:\\WINDOWS\\INF\\OTHER\\OV.INF", "");
             const Handle set = p.SetupDiGetClassDevs(DIGCF_PRESENT | DIGCF_ALLCLASSES);
             std::uint32_t device = 0, root = 0;
             std::string ids;
             p.SetupDiEnumDeviceInfo(set, 0, device);
             p.SetupDiGetDeviceRegistryProperty(set, device, SPDRP_HARDWAREID, 1024, ids);
             p.SetupDiRemoveDevice(set, device);
             p.SetupDiDestroyDeviceInfoList(set);
             p.SetupCopyOEMInf("C:\\WINDOWS\\INF\\OTHER\\OV.INF", "C:\\Stage\\", 1, 0);
             p.SetupSetSourceList(1, {"C:\\A", "D:\\"});
             p.SetupAddToSourceList(1, "C:\\B");
             p.CM_Locate_DevNode(root, std::nullopt, 0);
             p.CM_Reenumerate_DevNode(root, 0);
             p.ExitWindowsEx(EWX_REBOOT, 0);
         },
         {"remove device  hardware id=PCI\\VEN_1D9C&DEV_0111&SUBSYS_1  result=ok",
          "install INF  inf=C:\\WINDOWS\\INF\\OTHER\\OV.INF  media=C:\\Stage\\  media type=1  copy style=0  result=ok",
          "set source list  entries=2  list=C:\\A;D:\\  result=ok", "add to source list  source=C:\\B  result=ok",
          "re-enumerate devices  result=ok", "restart requested  flags=2  reserved=0  result=ok"}},
    };
    for (const Row& row : rows) {
        TestMachine machine(vm::WindowsVersion::Win98SE, row.machineIni);
        Journal journal;
        JournalingPlatform journaled(machine.Faulty(), journal);
        row.calls(machine, journaled);
        std::vector<std::string> entries;
        for (const JournalEntry& entry : journal.Entries()) entries.push_back(DescribeEntry(entry));
        EXPECT_EQ(entries, row.entries) << row.name;
        // The machine journals its own happenings only: an effect twice would be a lie.
        for (const JournalEntry& own : machine.GetJournal().Entries()) {
            EXPECT_EQ(journal.Count(own.kind), 0u) << row.name << ": the machine journals " << own.kind;
        }
    }
}

TEST(JournalingPlatform, TimesFromItsStartAndTheExitBeforeTheEnd) {
    TestMachine machine(vm::WindowsVersion::Win98SE, "[Answers]\n* = OK after 3000\n");
    machine.Sleep(500);  // before the journal begins
    Journal journal;
    JournalingPlatform journaled(machine, journal);
    journaled.Sleep(250);
    journaled.MessageBox(0, "Done", "Setup", MB_OK);  // stamped when it appears
    journaled.Sleep(1);
    EXPECT_THROW(journaled.ExitProcess(3), vm::ProcessExit);
    std::vector<std::string> lines;
    for (const JournalEntry& entry : journal.Entries()) lines.push_back(JournalLine(entry).substr(0, 30));
    EXPECT_EQ(lines, (std::vector<std::string>{"        0 ms  sleep  ms=250", "      250 ms  message box  own",
                                               "     3250 ms  sleep  ms=1", "     3251 ms  exit process  co"}));
}

}  // namespace
