<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Directions</name>
    <message>
        <location filename="../core/Directions.h" line="+13"/>
        <source>Connect USB adapter</source>
        <extracomment>The first screen, shown large: no USB serial adapter is plugged in yet.</extracomment>
        <translation>USB-Adapter anschließen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Power on the QZ7 while holding front Run/Stop button</source>
        <extracomment>Shown large. Run/Stop is the name printed on the QZ7&apos;s button: keep it.</extracomment>
        <translation>QZ7 bei gedrückter vorderer Run/Stop-Taste einschalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Updating QZ7, please wait...</source>
        <translation>QZ7 wird aktualisiert, bitte warten...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Version not Found.
Update anyway?</source>
        <translation>Keine Version gefunden.
Trotzdem aktualisieren?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Erased
Please restart the program
and the QZ7</source>
        <translation>Nicht gelöscht
Bitte Programm und QZ7
neu starten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Done</source>
        <extracomment>The QZ7 said its firmware is written: the update succeeded.</extracomment>
        <translation>Fertig</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Trying to write to unopened Port</source>
        <extracomment>The port closed before the program could write to it.</extracomment>
        <translation>Schreibversuch auf nicht geöffneten Port</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>USB adapter disconnected
Please restart the program
and the QZ7</source>
        <translation>USB-Adapter getrennt
Bitte Programm und QZ7
neu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No version reply
Please restart the program
and the QZ7</source>
        <translation>Keine Versionsantwort
Bitte Programm und QZ7
neu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware image damaged
Please reinstall the program</source>
        <translation>Firmware-Image beschädigt
Bitte Programm neu installieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Done
Please restart the program
and the QZ7</source>
        <translation>Nicht fertig
Bitte Programm und QZ7
neu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 restarted during the update
It has no firmware now
Restart the program, power on the QZ7
while holding Run/Stop, and update again</source>
        <translation>QZ7 während der Aktualisierung neu gestartet
Er hat jetzt keine Firmware
Programm neu starten, QZ7 bei gedrückter
Run/Stop-Taste einschalten, erneut aktualisieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>QZ7 stopped accepting data
Please restart the program
and the QZ7</source>
        <translation>QZ7 nimmt keine Daten mehr an
Bitte Programm und QZ7
neu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 stopped before the whole image was sent
It has no firmware now
Restart the program, power on the QZ7
while holding Run/Stop, and update again</source>
        <translation>QZ7 endete, bevor das ganze Image gesendet war
Er hat jetzt keine Firmware
Programm neu starten, QZ7 bei gedrückter
Run/Stop-Taste einschalten, erneut aktualisieren</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Found Version: %1
 Update To: QZ7 V%2?
</source>
        <extracomment>The version question. %1 the version the QZ7 reported (&quot;2.005&quot;), %2 the firmware this program carries (&quot;2.007&quot;). Line breaks may go where your language needs them.</extracomment>
        <translation>Gefundene Version: %1
 Aktualisieren auf: QZ7 V%2?
</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unexpected reply: %1
Please restart the program
and the QZ7</source>
        <extracomment>%1 the QZ7&apos;s reply as it sent it (at most 40 characters, escaped).</extracomment>
        <translation>Unerwartete Antwort: %1
Bitte Programm und QZ7
neu starten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An Exception Occured:
%1</source>
        <extracomment>%1 the error&apos;s own text, from the system.</extracomment>
        <translation>Ein Ausnahmefehler ist aufgetreten:
%1</translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <location filename="../core/Endings.cpp" line="+21"/>
        <source>the QZ7 was updated (Done)</source>
        <extracomment>--help&apos;s list of exit statuses: each text says what ended a run with that status (after the number). Option names (--wait) and the QZ7&apos;s own words (Done, Not Done) stay as they are.</extracomment>
        <translation>der QZ7 wurde aktualisiert (Done)</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>an error nobody foresaw</source>
        <translation>ein unvorhergesehener Fehler</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>no usable adapter within --wait, or a --port that can never be one</source>
        <translation>kein brauchbarer Adapter innerhalb von --wait, oder ein --port, der nie einer sein kann</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>no permission to open the port</source>
        <translation>keine Berechtigung, den Port zu öffnen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the port is in use by another program</source>
        <translation>der Port wird von einem anderen Programm benutzt</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>the adapter was disconnected, or the port closed under the update</source>
        <translation>der Adapter wurde getrennt, oder der Port wurde während der Aktualisierung geschlossen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>the QZ7 was not erased</source>
        <translation>der QZ7 wurde nicht gelöscht</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>an unexpected reply from the QZ7</source>
        <translation>eine unerwartete Antwort vom QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no version reply</source>
        <translation>keine Versionsantwort</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>not updated: the answer was no (or input ended, or was too long)</source>
        <translation>nicht aktualisiert: die Antwort war nein (oder die Eingabe endete oder war zu lang)</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>the firmware image is damaged; nothing was erased</source>
        <translation>das Firmware-Image ist beschädigt; nichts wurde gelöscht</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>the QZ7 answered Not Done</source>
        <translation>der QZ7 antwortete Not Done</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the QZ7 restarted during the update</source>
        <translation>der QZ7 startete während der Aktualisierung neu</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>the QZ7 stopped accepting data</source>
        <translation>der QZ7 nahm keine Daten mehr an</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>the port opened, but no QZ7 answered within --wait</source>
        <translation>der Port wurde geöffnet, aber innerhalb von --wait antwortete kein QZ7</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>the QZ7 said Done before the whole image was sent</source>
        <translation>der QZ7 meldete Done, bevor das ganze Image gesendet war</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>several units: not every one was updated (each unit&apos;s status is in --json and --report)</source>
        <translation>mehrere Geräte: nicht jedes wurde aktualisiert (den Status jedes Geräts zeigen --json und --report)</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>--skip-current: the QZ7 already has the firmware this program carries; not updated</source>
        <translation>--skip-current: der QZ7 hat bereits die Firmware dieses Programms; nicht aktualisiert</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--yes: the QZ7 has newer firmware than this program carries; not updated (see --allow-older)</source>
        <translation>--yes: der QZ7 hat eine neuere Firmware als die dieses Programms; nicht aktualisiert (siehe --allow-older)</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>wrong usage: an unknown option or a bad value</source>
        <translation>falscher Aufruf: eine unbekannte Option oder ein ungültiger Wert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>standard output (or the --report file) could not be written</source>
        <translation>die Standardausgabe (oder die --report-Datei) konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>--timeout ran out; the port was put back</source>
        <translation>--timeout abgelaufen; die Einstellungen des Ports wurden wiederhergestellt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>stopped by SIGINT (twice within 5 s while the QZ7 is being programmed), SIGTERM or SIGHUP; the port was put back</source>
        <translation>angehalten durch SIGINT (zweimal innerhalb von 5 s, während der QZ7 programmiert wird), SIGTERM oder SIGHUP; die Einstellungen des Ports wurden wiederhergestellt</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Exit statuses (with --cli):</source>
        <translation>Exit-Status (mit --cli):</translation>
    </message>
    <message>
        <location filename="../app/Startup.cpp" line="+70"/>
        <source>path</source>
        <extracomment>The value of --port in --help (&quot;--port &lt;path&gt;&quot;); the descriptions quote it as &lt;path&gt;.</extracomment>
        <translation>Pfad</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>file</source>
        <extracomment>The value of --report, --capture and --history-file in --help (&quot;--report &lt;file&gt;&quot;).</extracomment>
        <translation>Datei</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>seconds</source>
        <extracomment>The value of --wait and --timeout in --help (&quot;--wait &lt;seconds&gt;&quot;).</extracomment>
        <translation>Sekunden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>name</source>
        <extracomment>The value of --unit and --operator in --help (&quot;--unit &lt;name&gt;&quot;).</extracomment>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Updates the firmware of a QZ7 over a USB serial adapter. Connect the adapter, power on the QZ7 while holding its front Run/Stop button, and follow the directions in the window.</source>
        <translation>Aktualisiert die Firmware eines QZ7 über einen USB-Seriell-Adapter. Schließen Sie den Adapter an, schalten Sie den QZ7 mit gedrückter Run/Stop-Taste vorne ein und folgen Sie den Anweisungen im Fenster.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Run on the terminal, without a window: print the directions and the status as they change, ask the version question there, and end with an exit status that says how the update ended (see the manual page).</source>
        <translation>Im Terminal ohne Fenster ausführen: Anweisungen und Status bei jeder Änderung ausgeben, die Versionsfrage dort stellen und mit einem Exit-Status enden, der sagt, wie die Aktualisierung endete (siehe Handbuchseite).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Use the serial device at &lt;path&gt; instead of searching for a USB adapter. Given several times (with --cli --yes), updates those units side by side.</source>
        <translation>Die serielle Gerätedatei &lt;Pfad&gt; verwenden, statt einen USB-Adapter zu suchen. Mehrfach angegeben (mit --cli --yes): diese Geräte gleichzeitig aktualisieren.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli --yes: update every USB adapter&apos;s QZ7 side by side (every port that --list --json shows as taken).</source>
        <translation>Mit --cli --yes: den QZ7 an jedem USB-Adapter gleichzeitig aktualisieren (jeden Port, den --list --json als taken zeigt).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli, --list or --version: JSON Lines on standard output, one object per event (see the manual page); the prose goes to standard error.</source>
        <translation>Mit --cli, --list oder --version: JSON Lines auf der Standardausgabe, ein Objekt pro Ereignis (siehe Handbuchseite); der Text geht auf die Standardfehlerausgabe.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: read each QZ7&apos;s version and end without erasing anything.</source>
        <translation>Mit --cli: die Version jedes QZ7 lesen und enden, ohne etwas zu löschen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: leave a QZ7 that already has the firmware this program carries.</source>
        <translation>Mit --cli: einen QZ7, der bereits die Firmware dieses Programms hat, unverändert lassen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: append one JSON line per unit to &lt;file&gt; as each unit ends.</source>
        <translation>Mit --cli: pro Gerät eine JSON-Zeile an &lt;Datei&gt; anhängen, sobald das Gerät fertig ist.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Record every byte read from and written to the port, with its time, in &lt;file&gt; (JSON Lines; with several units, one file per unit named by its slot), for qz7-bootsim --replay.</source>
        <translation>Jedes vom Port gelesene und an ihn geschriebene Byte mit seiner Zeit in &lt;Datei&gt; aufzeichnen (JSON Lines; bei mehreren Geräten eine Datei je Gerät, nach seinem Steckplatz benannt), für qz7-bootsim --replay.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli: answer the version question with Update.</source>
        <translation>Mit --cli: die Versionsfrage mit Aktualisieren beantworten.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli --yes: update a QZ7 that has newer firmware than this program carries too (without it, such a QZ7 is left as it is, with exit status 18).</source>
        <translation>Mit --cli --yes: auch einen QZ7 aktualisieren, der eine neuere Firmware als die dieses Programms hat (ohne diese Option bleibt ein solcher QZ7 unverändert, mit Exit-Status 18).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: give up when no QZ7 has answered within &lt;seconds&gt; (default: wait for ever).</source>
        <translation>Mit --cli: aufgeben, wenn innerhalb von &lt;Sekunden&gt; kein QZ7 geantwortet hat (Standard: unbegrenzt warten).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: stop when the whole update has not ended within &lt;seconds&gt;, as a SIGTERM stops it, with exit status 124.</source>
        <translation>Mit --cli: anhalten wie bei SIGTERM, mit Exit-Status 124, wenn die ganze Aktualisierung nicht innerhalb von &lt;Sekunden&gt; beendet ist.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli and one port: the name of the QZ7 on it (its serial number or label), in every record of the update. For several ports: --port PATH=NAME.</source>
        <translation>Mit --cli und einem Port: der Name des QZ7 daran (seine Seriennummer oder sein Etikett), in jedem Datensatz der Aktualisierung. Für mehrere Ports: --port PFAD=NAME.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli: the operator&apos;s name in every record (default: the login name).</source>
        <translation>Mit --cli: der Name des Bedieners in jedem Datensatz (Vorgabe: der Anmeldename).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The history database to write and read (default: $XDG_STATE_HOME/qz7-updater/history.sqlite).</source>
        <translation>Die Verlaufsdatenbank, die geschrieben und gelesen wird (Vorgabe: $XDG_STATE_HOME/qz7-updater/history.sqlite).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Print the last records of the history (only the records of the unit named after it, with --json as JSON Lines, with --summary the figures per day), and end.</source>
        <translation>Die letzten Datensätze des Verlaufs ausgeben (nur die der dahinter genannten Einheit, mit --json als JSON Lines, mit --summary die Zahlen je Tag) und beenden.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --history: passed, failed, first-pass yield and units per hour, per day.</source>
        <translation>Mit --history: bestanden, fehlgeschlagen, Erstdurchlaufquote und Einheiten pro Stunde, je Tag.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: leave a named QZ7 whose last record is Done with the firmware this program carries.</source>
        <translation>Mit --cli: einen benannten QZ7 auslassen, dessen letzter Datensatz Done mit der Firmware dieses Programms ist.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>List the serial ports with their names, paths and identities, mark the one the updater would choose, and end.</source>
        <translation>Die seriellen Ports mit Namen, Pfaden und Kennungen auflisten, den vom Updater gewählten markieren und enden.</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>Try qz7-updater --help.</source>
        <extracomment>After a usage error; keep the command as it is.</extracomment>
        <translation>Siehe qz7-updater --help.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <extracomment>%1 the argument as it was typed.</extracomment>
        <translation>Unerwartetes Argument &apos;%1&apos;.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>--port needs the path of a serial device, such as /dev/ttyUSB0.</source>
        <translation>--port braucht den Pfad einer seriellen Gerätedatei, etwa /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>--port PATH=NAME needs a path and a name of 1 to 128 characters, none of them a control character.</source>
        <translation>--port PATH=NAME braucht einen Pfad und einen Namen aus 1 bis 128 Zeichen, keines davon ein Steuerzeichen.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>--port %1 is given twice: name each adapter once.</source>
        <translation>--port %1 ist zweimal angegeben: Nennen Sie jeden Adapter nur einmal.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--port %1 and --port %2 are the same device: name each adapter once.</source>
        <translation>--port %1 und --port %2 sind dasselbe Gerät: Nennen Sie jeden Adapter nur einmal.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--report needs the name of a file.</source>
        <translation>--report braucht einen Dateinamen.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>--history-file needs the name of a file.</source>
        <translation>--history-file braucht den Namen einer Datei.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--%1 needs a name of 1 to 128 characters, none of them a control character.</source>
        <translation>--%1 braucht einen Namen aus 1 bis 128 Zeichen, keines davon ein Steuerzeichen.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>--history goes alone (or with a unit&apos;s name, --json, --summary and --history-file).</source>
        <translation>--history steht allein (oder mit dem Namen einer Einheit, --json, --summary und --history-file).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--history --summary counts every unit: it goes without a unit&apos;s name.</source>
        <translation>--history --summary zählt alle Einheiten: es steht ohne den Namen einer Einheit.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>--summary goes with --history.</source>
        <translation>--summary gehört zu --history.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit names the unit on one port: with several, name each as --port PATH=NAME.</source>
        <translation>--unit benennt die Einheit an einem Port: bei mehreren jede als --port PFAD=NAME benennen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit names the unit on one port: --all takes every adapter.</source>
        <translation>--unit benennt die Einheit an einem Port: --all nimmt alle Adapter.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit, --operator and --skip-done go with --cli.</source>
        <translation>--unit, --operator und --skip-done gehören zu --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--skip-done looks units up by name: give --unit NAME, or --port PATH=NAME for each port.</source>
        <translation>--skip-done sucht Einheiten nach Namen: --unit NAME angeben, oder --port PFAD=NAME für jeden Port.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--capture needs the name of a file.</source>
        <translation>--capture braucht den Namen einer Datei.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>--%1 needs a whole number of seconds, from 1 to 604800 (a week).</source>
        <extracomment>%1 the option&apos;s name without its dashes (wait, timeout).</extracomment>
        <translation>--%1 braucht eine ganze Zahl von Sekunden, von 1 bis 604800 (eine Woche).</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--yes, --wait and --timeout go with --cli.</source>
        <translation>--yes, --wait und --timeout nur zusammen mit --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--allow-older goes with --cli.</source>
        <translation>--allow-older nur zusammen mit --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--list goes alone (or with --json).</source>
        <translation>--list nur allein (oder mit --json).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--all, --json, --check, --skip-current and --report go with --cli.</source>
        <translation>--all, --json, --check, --skip-current und --report nur zusammen mit --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--all takes every adapter: it goes without --port.</source>
        <translation>--all nimmt jeden Adapter: nur ohne --port.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With several units, --all, --json, --skip-current or --report the version question is answered ahead: add --yes (or --check).</source>
        <translation>Mit mehreren Geräten, --all, --json, --skip-current oder --report wird die Versionsfrage vorab beantwortet: Fügen Sie --yes (oder --check) hinzu.</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>cannot write to standard output: %1</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the system&apos;s error text.</extracomment>
        <translation>Standardausgabe kann nicht geschrieben werden: %1</translation>
    </message>
</context>
<context>
    <name>OneLine</name>
    <message>
        <location filename="../core/Words.cpp" line="+25"/>
        <source>Version not Found. Update anyway?</source>
        <translation>Keine Version gefunden. Trotzdem aktualisieren?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Erased. Please restart the program and the QZ7</source>
        <translation>Nicht gelöscht. Bitte Programm und QZ7 neu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>USB adapter disconnected. Please restart the program and the QZ7</source>
        <translation>USB-Adapter getrennt. Bitte Programm und QZ7 neu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No version reply. Please restart the program and the QZ7</source>
        <translation>Keine Versionsantwort. Bitte Programm und QZ7 neu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware image damaged. Please reinstall the program</source>
        <translation>Firmware-Image beschädigt. Bitte Programm neu installieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Done. Please restart the program and the QZ7</source>
        <translation>Nicht fertig. Bitte Programm und QZ7 neu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 restarted during the update. It has no firmware now. Restart the program, power on the QZ7 while holding Run/Stop, and update again</source>
        <translation>QZ7 während der Aktualisierung neu gestartet. Er hat jetzt keine Firmware. Programm neu starten, QZ7 bei gedrückter Run/Stop-Taste einschalten, erneut aktualisieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>QZ7 stopped accepting data. Please restart the program and the QZ7</source>
        <translation>QZ7 nimmt keine Daten mehr an. Bitte Programm und QZ7 neu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 stopped before the whole image was sent. It has no firmware now. Restart the program, power on the QZ7 while holding Run/Stop, and update again</source>
        <translation>QZ7 endete, bevor das ganze Image gesendet war. Er hat jetzt keine Firmware. Programm neu starten, QZ7 bei gedrückter Run/Stop-Taste einschalten, erneut aktualisieren</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Found Version: %1. Update To: QZ7 V%2?</source>
        <extracomment>%1 the version the QZ7 reported, %2 the firmware this program carries.</extracomment>
        <translation>Gefundene Version: %1. Aktualisieren auf: QZ7 V%2?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unexpected reply: %1. Please restart the program and the QZ7</source>
        <extracomment>%1 the QZ7&apos;s reply as it sent it (at most 40 characters, escaped).</extracomment>
        <translation>Unerwartete Antwort: %1. Bitte Programm und QZ7 neu starten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An Exception Occured: %1</source>
        <extracomment>%1 the error&apos;s own text, from the system.</extracomment>
        <translation>Ein Ausnahmefehler ist aufgetreten: %1</translation>
    </message>
</context>
<context>
    <name>QCommandLineParser</name>
    <message>
        <location filename="../app/Startup.cpp" line="-346"/>
        <source>Displays help on commandline options.</source>
        <translation>Zeigt Hilfe zu den Kommandozeilenoptionen an.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Displays help including Qt specific options.</source>
        <translation>Zeigt Hilfe einschließlich Qt-spezifischer Optionen an.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Displays version information.</source>
        <translation>Zeigt Versionsinformation an.</translation>
    </message>
</context>
<context>
    <name>QZ7UpdaterWindow</name>
    <message>
        <location filename="../window/QZ7_Updater.ui" line="+12"/>
        <source>QZ7 Updater</source>
        <translation>QZ7 Updater</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Puts new firmware on a QZ7 through a USB serial adapter</source>
        <translation>Spielt neue Firmware über einen USB-Seriell-Adapter auf einen QZ7</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>QZ7s an earlier update left without firmware</source>
        <translation>QZ7, die ein früheres Update ohne Firmware zurückgelassen hat</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>QZ7 front panel</source>
        <translation>Frontplatte des QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Picture of the QZ7 the updater found, its display reading BOOT</source>
        <translation>Bild des gefundenen QZ7, seine Anzeige zeigt BOOT</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>How the update ended</source>
        <translation>Wie die Aktualisierung endete</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>What to do next</source>
        <translation>Was als Nächstes zu tun ist</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Details: the adapter, the progress, what went wrong</source>
        <translation>Details: der Adapter, der Fortschritt, was schiefging</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Command to run</source>
        <translation>Auszuführender Befehl</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A command for a terminal, to select or copy</source>
        <translation>Ein Befehl für ein Terminal, zum Markieren oder Kopieren</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Copies the command to the clipboard</source>
        <translation>Kopiert den Befehl in die Zwischenablage</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Details, after the command</source>
        <translation>Details, nach dem Befehl</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Update progress</source>
        <translation>Fortschritt der Aktualisierung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Share of the firmware sent to the QZ7</source>
        <translation>Anteil der an den QZ7 gesendeten Firmware</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Save report…</source>
        <extracomment>Saves a file for support: what went over the line, and the transcript.</extracomment>
        <translation>Bericht speichern…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Saves the capture of the QZ7&apos;s bytes and the transcript in one file to send to support</source>
        <translation>Speichert die Aufzeichnung der Bytes des QZ7 und das Protokoll in einer Datei für den Support</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Restart</source>
        <extracomment>A failure screen&apos;s button: starts again, looking for the adapter and waiting for the QZ7. The status line names it.</extracomment>
        <translation>Neu starten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Starts the update again from Connect USB adapter; then power the QZ7 on while holding Run/Stop</source>
        <translation>Beginnt die Aktualisierung wieder bei „USB-Adapter anschließen“; schalten Sie dann den QZ7 bei gedrückter Run/Stop-Taste ein</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Update another QZ7</source>
        <extracomment>After Done: waits for the next QZ7 on the same adapter. The status line names it.</extracomment>
        <translation>Weiteren QZ7 aktualisieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Starts over for the next QZ7 on the same adapter</source>
        <translation>Beginnt von vorn für den nächsten QZ7 am selben Adapter</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cancel</source>
        <extracomment>Answers the version question: ends the program and leaves the QZ7 as it is.</extracomment>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Leaves the QZ7 as it is and closes the program</source>
        <translation>Lässt den QZ7 unverändert und schließt das Programm</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Update</source>
        <extracomment>Answers the version question: erases the QZ7 and sends it the new firmware.</extracomment>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Closes the program</source>
        <translation>Schließt das Programm</translation>
    </message>
</context>
<context>
    <name>Status</name>
    <message>
        <location filename="../core/Status.cpp" line="+42"/>
        <source>%1 s</source>
        <extracomment>A duration in seconds (&quot;5 s&quot;).</extracomment>
        <translation>%1 s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 min %2 s</source>
        <extracomment>A duration: %1 minutes, %2 seconds.</extracomment>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>No permission to open %1 (owner %2, group %3).</source>
        <extracomment>%1 the device path, %2 its owner&apos;s user name, %3 its group.</extracomment>
        <translation>Keine Berechtigung, %1 zu öffnen (Besitzer %2, Gruppe %3).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Only its owner may use it. An administrator can give access with a udev rule (see &quot;Permission to use the adapter&quot; in the README).</source>
        <translation>Nur ihr Besitzer darf diese Gerätedatei benutzen. Ein Administrator kann den Zugriff mit einer udev-Regel erlauben (siehe „Permission to use the adapter“ in der README).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>You are in the group %1, but this login is not yet: log out and back in, then start the updater again.</source>
        <extracomment>%1 the group&apos;s name (dialout).</extracomment>
        <translation>Sie sind in der Gruppe %1, diese Anmeldung aber noch nicht: Melden Sie sich ab und wieder an und starten Sie dann den Updater erneut.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>You are in the group %1 already; an administrator needs to check the device&apos;s access rules.</source>
        <extracomment>%1 the group&apos;s name (dialout).</extracomment>
        <translation>Sie sind bereits in der Gruppe %1; ein Administrator muss die Zugriffsregeln der Gerätedatei prüfen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add yourself to the group with</source>
        <extracomment>A command follows on a line of its own (sudo adduser …), then &quot;then log out and back in …&quot;.</extracomment>
        <translation>Fügen Sie sich der Gruppe hinzu mit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>then log out and back in (the group counts only for a new login).</source>
        <translation>und melden Sie sich dann ab und wieder an (die Gruppe gilt erst ab einer neuen Anmeldung).</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>%1 (PID %2)</source>
        <extracomment>A program that holds the port: %1 its name, %2 its process number.</extracomment>
        <translation>%1 (PID %2)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 is in use by another program.</source>
        <translation>%1 wird von einem anderen Programm benutzt.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 is in use by another program: %2.</source>
        <extracomment>%1 the device path, %2 the programs that hold it.</extracomment>
        <translation>%1 wird von einem anderen Programm benutzt: %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Close it; the updater opens the adapter as soon as it is free.</source>
        <translation>Beenden Sie es; der Updater öffnet den Adapter, sobald er frei ist.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 is running; it is known to take serial adapters.</source>
        <extracomment>%1 a program&apos;s name (ModemManager).</extracomment>
        <translation>%1 läuft; es ist dafür bekannt, serielle Adapter zu belegen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 are running; they are known to take serial adapters.</source>
        <extracomment>%1 programs&apos; names, joined by &quot;and&quot;.</extracomment>
        <translation>%1 laufen; sie sind dafür bekannt, serielle Adapter zu belegen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+40"/>
        <source>and</source>
        <extracomment>Joins the last two names of a list (&quot;A, B and C&quot;).</extracomment>
        <translation>und</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>%1 is not a serial port. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>%1 ist kein serieller Port. Geben Sie die Gerätedatei des Adapters an, etwa /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cannot open %1: %2.</source>
        <extracomment>%1 the device path, %2 the system&apos;s error text.</extracomment>
        <translation>%1 kann nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cannot set up %1 (%2): %3.</source>
        <extracomment>%1 the device path, %2 the system call that failed (tcsetattr), %3 the system&apos;s error text.</extracomment>
        <translation>%1 kann nicht eingerichtet werden (%2): %3.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Plug the adapter in again.</source>
        <translation>Stecken Sie den Adapter erneut ein.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The updater keeps trying.</source>
        <translation>Der Updater versucht es weiter.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 is the terminal this program runs on, not an adapter. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>%1 ist das Terminal, in dem dieses Programm läuft, kein Adapter. Geben Sie die Gerätedatei des Adapters an, etwa /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cannot open %1: %2. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>%1 kann nicht geöffnet werden: %2. Geben Sie die Gerätedatei des Adapters an, etwa /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No USB serial adapter found.</source>
        <translation>Kein USB-Seriell-Adapter gefunden.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The system lists no serial port at all: plug the adapter in, or try another USB socket or cable.</source>
        <translation>Das System kennt überhaupt keinen seriellen Port: Stecken Sie den Adapter ein, oder versuchen Sie eine andere USB-Buchse oder ein anderes Kabel.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Seen: %1, not a USB adapter.</source>
        <extracomment>%1 the serial ports the system lists, joined by commas and &quot;and&quot;.</extracomment>
        <translation>Gesehen: %1, kein USB-Adapter.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seen: %1, not USB adapters.</source>
        <translation>Gesehen: %1, keine USB-Adapter.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>An adapter appeared at %1 and went away again: brltty, a braille display driver, is running and takes such adapters. Unless you use a braille display, remove it with</source>
        <extracomment>%1 the device path; the command that removes brltty follows on a line of its own.</extracomment>
        <translation>Ein Adapter erschien an %1 und verschwand wieder: brltty, ein Treiber für Braillezeilen, läuft und belegt solche Adapter. Wenn Sie keine Braillezeile benutzen, entfernen Sie es mit</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>then plug the adapter in again.</source>
        <translation>und stecken Sie dann den Adapter erneut ein.</translation>
    </message>
    <message>
        <location line="+12"/>
        <location filename="../terminal/PortList.cpp" line="+16"/>
        <source>serial %1</source>
        <extracomment>%1 the adapter&apos;s USB serial number.</extracomment>
        <translation>Seriennummer %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Adapter on %1</source>
        <translation>Adapter an %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Adapter on %1: %2</source>
        <extracomment>%1 the device path, %2 what the adapter says of itself (maker, USB ids, serial number).</extracomment>
        <translation>Adapter an %1: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Nothing from the QZ7 for %1 s. Switch it off, then hold the front Run/Stop button while you switch it on. Check that the cable goes to the QZ7.</source>
        <extracomment>%1 the seconds without a byte from the QZ7.</extracomment>
        <translation>Seit %1 s nichts vom QZ7. Schalten Sie ihn aus und halten Sie dann die vordere Run/Stop-Taste gedrückt, während Sie ihn einschalten. Prüfen Sie, ob das Kabel zum QZ7 führt.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>No answer from the QZ7 for %1 s. Check the cable and the QZ7&apos;s power; the update goes on as soon as it answers.</source>
        <extracomment>%1 the seconds without a byte from the QZ7.</extracomment>
        <translation>Seit %1 s keine Antwort vom QZ7. Prüfen Sie das Kabel und die Stromversorgung des QZ7; die Aktualisierung geht weiter, sobald er antwortet.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>its banner</source>
        <extracomment>What the updater waits for: %2 of &quot;The QZ7 sent …, not %2&quot; (also the next five texts).</extracomment>
        <translation>seine Startmeldung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>a version (a line with &quot;V&quot;)</source>
        <translation>eine Version (eine Zeile mit „V“)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the prompt &quot;E or P?&quot;</source>
        <translation>die Abfrage „E or P?“</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;Erased&quot;</source>
        <translation>„Erased“</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;Done&quot;</source>
        <translation>„Done“</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the &quot;*&quot; that asks for the next line</source>
        <translation>das „*“, das die nächste Zeile anfordert</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The QZ7 sent only empty lines, not %1; the updater waits on.</source>
        <extracomment>%1 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>Der QZ7 hat nur leere Zeilen gesendet, nicht %1; der Updater wartet weiter.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 sent what the updater cannot read (&quot;%1&quot;), not %2; the updater waits on.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>Der QZ7 hat gesendet, was der Updater nicht lesen kann („%1“), nicht %2; der Updater wartet weiter.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 sent &quot;%1&quot; and has not ended the line; the updater waits for %2.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>Der QZ7 hat „%1“ gesendet und die Zeile nicht beendet; der Updater wartet auf %2.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 sent &quot;%1&quot;, not %2; the updater waits on.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>Der QZ7 hat „%1“ gesendet, nicht %2; der Updater wartet weiter.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>If it stays so, the QZ7 must be restarted: switch it off, hold Run/Stop while you switch it on, and update again.</source>
        <translation>Bleibt es so, muss der QZ7 neu gestartet werden: Schalten Sie ihn aus, halten Sie Run/Stop gedrückt, während Sie ihn einschalten, und aktualisieren Sie erneut.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A wrong line speed, a wrong cable, or another device than a QZ7 in boot-loader mode sends such bytes: check the cable and what it is plugged into.</source>
        <translation>Eine falsche Übertragungsrate, ein falsches Kabel oder ein anderes Gerät als ein QZ7 im Bootloader-Modus sendet solche Bytes: Prüfen Sie das Kabel und woran es angeschlossen ist.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>If it stays so, check that the cable goes to a QZ7 switched on with Run/Stop held.</source>
        <translation>Bleibt es so, prüfen Sie, ob das Kabel zu einem QZ7 führt, der bei gedrückter Run/Stop-Taste eingeschaltet wurde.</translation>
    </message>
    <message numerus="yes">
        <location line="+6"/>
        <source>The QZ7 answered %n times without &quot;E or P?&quot;, last with &quot;%1&quot;. It may not be a QZ7 in boot-loader mode: switch it off, hold Run/Stop while you switch it on, and check what the cable goes to.</source>
        <comment>The QZ7 answered %n time without &quot;E or P?&quot;, last with &quot;%1&quot;. It may not be a QZ7 in boot-loader mode: switch it off, hold Run/Stop while you switch it on, and check what the cable goes to.</comment>
        <extracomment>%n the QZ7&apos;s answers, %1 the last of them (escaped). &quot;E or P?&quot; is the QZ7&apos;s own prompt: keep it.</extracomment>
        <translation>
            <numerusform>Der QZ7 hat einmal ohne „E or P?“ geantwortet, mit „%1“. Vielleicht ist es kein QZ7 im Bootloader-Modus: Schalten Sie ihn aus, halten Sie Run/Stop gedrückt, während Sie ihn einschalten, und prüfen Sie, wohin das Kabel führt.</numerusform>
            <numerusform>Der QZ7 hat %n-mal ohne „E or P?“ geantwortet, zuletzt mit „%1“. Vielleicht ist es kein QZ7 im Bootloader-Modus: Schalten Sie ihn aus, halten Sie Run/Stop gedrückt, während Sie ihn einschalten, und prüfen Sie, wohin das Kabel führt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+32"/>
        <source>Sent %n lines (%1 kB) in %2 s. The QZ7 now has firmware %3.</source>
        <comment>Sent %n line (%1 kB) in %2 s. The QZ7 now has firmware %3.</comment>
        <extracomment>%n the image lines sent, %1 kilobytes, %2 seconds, %3 the firmware version (&quot;V2.007&quot;).</extracomment>
        <translation>
            <numerusform>%n Zeile (%1 kB) in %2 s gesendet. Der QZ7 hat jetzt die Firmware %3.</numerusform>
            <numerusform>%n Zeilen (%1 kB) in %2 s gesendet. Der QZ7 hat jetzt die Firmware %3.</numerusform>
        </translation>
    </message>
    <message>
        <location line="-20"/>
        <source>Line %1 of %2</source>
        <extracomment>%1 the image line being sent, %2 the image&apos;s lines.</extracomment>
        <translation>Zeile %1 von %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, </source>
        <extracomment>Between the parts of the transfer&apos;s progress: &quot;Line 12 of 3075, 13.2 kB/s, about 5 s left&quot;.</extracomment>
        <translation>, </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 B/s</source>
        <extracomment>The transfer&apos;s speed in bytes per second.</extracomment>
        <translation>%1 B/s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 kB/s</source>
        <translation>%1 kB/s</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>about %1 left</source>
        <extracomment>%1 a duration (&quot;30 s&quot;, &quot;1 min 5 s&quot;).</extracomment>
        <translation>noch etwa %1</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>You can disconnect it now; for the next QZ7, press Update another QZ7.</source>
        <extracomment>&quot;Update another QZ7&quot; is the window&apos;s button: use its text.</extracomment>
        <translation>Sie können ihn jetzt abtrennen; für den nächsten QZ7 klicken Sie auf „Weiteren QZ7 aktualisieren“.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Stopped while waiting for the QZ7&apos;s banner.</source>
        <translation>Angehalten beim Warten auf die Startmeldung des QZ7.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while reading the QZ7&apos;s version.</source>
        <translation>Angehalten beim Lesen der Version des QZ7.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while waiting for the erase prompt.</source>
        <translation>Angehalten beim Warten auf die Abfrage zum Löschen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while waiting for the erase to finish.</source>
        <translation>Angehalten beim Warten auf das Ende des Löschens.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stopped while sending the image, after line %1 of %2.</source>
        <translation>Angehalten beim Senden des Images, nach Zeile %1 von %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Stopped while waiting for &quot;Done&quot; after the last line.</source>
        <translation>Angehalten beim Warten auf „Done“ nach der letzten Zeile.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stopped while in dialogue state %1.</source>
        <extracomment>%1 a number: a state the program never reaches.</extracomment>
        <translation>Angehalten im Dialogzustand %1.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The adapter&apos;s line went dead: it was unplugged or lost power.</source>
        <translation>Die Verbindung über den Adapter ist abgebrochen: Er wurde abgezogen oder hat keinen Strom mehr.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The adapter stopped working (%1, errno %2): it was unplugged or lost power.</source>
        <translation>Der Adapter funktioniert nicht mehr (%1, errno %2): Er wurde abgezogen oder hat keinen Strom mehr.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Last from the QZ7: &quot;%1&quot;.</source>
        <extracomment>%1 the QZ7&apos;s last reply (escaped).</extracomment>
        <translation>Zuletzt vom QZ7: „%1“.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The QZ7 may have no firmware now: press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>Der QZ7 hat jetzt möglicherweise keine Firmware: Klicken Sie auf „Neu starten“, schalten Sie den QZ7 aus und halten Sie dann Run/Stop gedrückt, während Sie ihn einschalten.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 has no firmware now: press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>Der QZ7 hat jetzt keine Firmware: Klicken Sie auf „Neu starten“, schalten Sie den QZ7 aus und halten Sie dann Run/Stop gedrückt, während Sie ihn einschalten.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>Klicken Sie auf „Neu starten“, schalten Sie den QZ7 aus und halten Sie dann Run/Stop gedrückt, während Sie ihn einschalten.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 may have no firmware now: switch it off, then hold Run/Stop while you switch it on.</source>
        <translation>Der QZ7 hat jetzt möglicherweise keine Firmware: Schalten Sie ihn aus und halten Sie dann Run/Stop gedrückt, während Sie ihn einschalten.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The QZ7 has no firmware now: switch it off, then hold Run/Stop while you switch it on.</source>
        <translation>Der QZ7 hat jetzt keine Firmware: Schalten Sie ihn aus und halten Sie dann Run/Stop gedrückt, während Sie ihn einschalten.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>This QZ7 has %1, newer than the %2 this program carries: Update would put the older firmware on it.</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>Dieser QZ7 hat %1, neuer als die %2 dieses Programms: Aktualisieren würde die ältere Firmware aufspielen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This QZ7 already has %1, the firmware this program carries.</source>
        <extracomment>%1 the version on the QZ7.</extracomment>
        <translation>Dieser QZ7 hat bereits %1, die Firmware dieses Programms.</translation>
    </message>
</context>
<context>
    <name>Terminal</name>
    <message>
        <location filename="../run/BenchRun.cpp" line="+154"/>
        <source>The history could not be written to %1: %2.</source>
        <extracomment>%1 the file, %2 the error.</extracomment>
        <translation>Der Verlauf konnte nicht in %1 geschrieben werden: %2.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The report could not be written to %1: %2.</source>
        <extracomment>%1 the file, %2 the error.</extracomment>
        <translation>Der Bericht konnte nicht in %1 geschrieben werden: %2.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Ended: %1 (status %2).</source>
        <extracomment>%1 the outcome&apos;s name as scripts read it (&quot;done&quot;, &quot;not-erased&quot;: keep it), %2 the exit status.</extracomment>
        <translation>Beendet: %1 (Status %2).</translation>
    </message>
    <message numerus="yes">
        <location line="+36"/>
        <source>%n units, %1 ended well, %2 did not (exit status %3).</source>
        <comment>%n unit, %1 ended well, %2 did not (exit status %3).</comment>
        <extracomment>The bench&apos;s last line: %n units in all, %1 of them ended well, %2 did not, %3 the exit status.</extracomment>
        <translation>
            <numerusform>%n Einheit, %1 gut beendet, %2 nicht (Exit-Status %3).</numerusform>
            <numerusform>%n Einheiten, %1 gut beendet, %2 nicht (Exit-Status %3).</numerusform>
        </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1 before any adapter was found: nothing was done to any port.</source>
        <extracomment>%1 says what stopped the bench (&quot;Stopped after 5 s (--timeout)&quot;, &quot;Interrupted&quot;).</extracomment>
        <translation>%1, bevor ein Adapter gefunden wurde: An keinem Port wurde etwas getan.</translation>
    </message>
    <message numerus="yes">
        <location line="+55"/>
        <source>Found %n adapters.</source>
        <comment>Found %n adapter.</comment>
        <translation>
            <numerusform>%n Adapter gefunden.</numerusform>
            <numerusform>%n Adapter gefunden.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Found the USB adapter: %1.</source>
        <extracomment>%1 the device path.</extracomment>
        <translation>USB-Adapter gefunden: %1.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>cannot write the report %1: %2. Nothing was done to any port.</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the report file, %2 the system&apos;s error text.</extracomment>
        <translation>der Bericht %1 kann nicht geschrieben werden: %2. An keinem Port wurde etwas getan.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>cannot keep the history %1: %2. Nothing was done to any port.</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the history file, %2 what went wrong.</extracomment>
        <translation>der Verlauf %1 kann nicht geführt werden: %2. An keinem Port wurde etwas getan.</translation>
    </message>
    <message>
        <location line="+11"/>
        <location filename="../run/UnitRun.cpp" line="+47"/>
        <source>Stopped after %1 s (--timeout)</source>
        <extracomment>%1 the --timeout seconds. Starts a sentence: &quot;… during the update: the QZ7 has no firmware now.&quot;</extracomment>
        <translation>Nach %1 s angehalten (--timeout)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Looking for USB adapters.</source>
        <translation>Suche nach USB-Adaptern.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Looking for the USB adapter.</source>
        <translation>Suche nach dem USB-Adapter.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapters in and run again.</source>
        <translation>Kein QZ7 innerhalb von %1 s: Es wurde kein brauchbarer USB-Adapter gefunden. Stecken Sie die Adapter ein und starten Sie erneut.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapter in and run again.</source>
        <translation>Kein QZ7 innerhalb von %1 s: Es wurde kein brauchbarer USB-Adapter gefunden. Stecken Sie den Adapter ein und starten Sie erneut.</translation>
    </message>
    <message>
        <location line="-251"/>
        <location filename="../terminal/BenchPrinter.cpp" line="+93"/>
        <source>Nothing was done to this port.</source>
        <translation>An diesem Port wurde nichts verändert.</translation>
    </message>
    <message>
        <location filename="../terminal/BenchPrinter.cpp" line="-52"/>
        <source>%1. Let the other units finish; then switch this QZ7 off, hold Run/Stop while you switch it on, and update it again on this port.</source>
        <extracomment>%1 the failure&apos;s headline (&quot;Not Erased&quot;).</extracomment>
        <translation>%1. Die anderen Geräte zu Ende laufen lassen; dann diesen QZ7 ausschalten, bei gedrückter Run/Stop-Taste einschalten und an diesem Anschluss erneut aktualisieren.</translation>
    </message>
    <message numerus="yes">
        <location line="+7"/>
        <source>Sending the firmware image (%n lines).</source>
        <comment>Sending the firmware image (%n line).</comment>
        <translation>
            <numerusform>Firmware-Image wird gesendet (%n Zeile).</numerusform>
            <numerusform>Firmware-Image wird gesendet (%n Zeilen).</numerusform>
        </translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Update to the older firmware? y (--yes --allow-older)</source>
        <extracomment>The question answered by the options: &quot;y&quot; stands for the answer, the options as they are.</extracomment>
        <translation>Auf die ältere Firmware aktualisieren? y (--yes --allow-older)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update? y (--yes)</source>
        <translation>Aktualisieren? y (--yes)</translation>
    </message>
    <message>
        <location filename="../run/BenchRun.cpp" line="+275"/>
        <source>Version %1, older than the %2 this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>Version %1, älter als die %2 dieses Programms: nichts gelöscht (--check).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Version %1, the one this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7.</extracomment>
        <translation>Version %1, die dieses Programms: nichts gelöscht (--check).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Version %1, newer than the %2 this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>Version %1, neuer als die %2 dieses Programms: nichts gelöscht (--check).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Version %1: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, which cannot be compared.</extracomment>
        <translation>Version %1: nichts gelöscht (--check).</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Version not found: nothing erased (--check).</source>
        <translation>Keine Version gefunden: nichts gelöscht (--check).</translation>
    </message>
    <message>
        <location filename="../terminal/BenchPrinter.cpp" line="+19"/>
        <source>Already on %1: not updated (--skip-current).</source>
        <extracomment>%1 the firmware version.</extracomment>
        <translation>Bereits auf %1: nicht aktualisiert (--skip-current).</translation>
    </message>
    <message>
        <location filename="../core/RunRules.cpp" line="+84"/>
        <source>This QZ7 has %1, newer than %2: not updated. Use --allow-older to put %2 on it anyway.</source>
        <translation>Dieser QZ7 hat %1, neuer als %2: nicht aktualisiert. Mit --allow-older wird %2 trotzdem aufgespielt.</translation>
    </message>
    <message numerus="yes">
        <location filename="../terminal/Terminal.cpp" line="+47"/>
        <source>Sending the firmware image (%n characters).</source>
        <comment>Sending the firmware image (%n character).</comment>
        <translation>
            <numerusform>Firmware-Image wird gesendet (%n Zeichen).</numerusform>
            <numerusform>Firmware-Image wird gesendet (%n Zeichen).</numerusform>
        </translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Not updated: the QZ7 was left as it was.</source>
        <translation>Nicht aktualisiert: Der QZ7 blieb unverändert.</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Update to the older firmware? [y/N]</source>
        <translation>Auf die ältere Firmware aktualisieren? [y/N]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Update? [y/N]</source>
        <translation>Aktualisieren? [y/N]</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Update to the older firmware? [y/N] y (--yes --allow-older)</source>
        <extracomment>The question answered by the options: &quot;y&quot; stands for the answer, the options as they are.</extracomment>
        <translation>Auf die ältere Firmware aktualisieren? [y/N] y (--yes --allow-older)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update? [y/N] y (--yes)</source>
        <translation>Aktualisieren? [y/N] y (--yes)</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>(answer too long)</source>
        <translation>(Antwort zu lang)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>(end of input)</source>
        <translation>(Ende der Eingabe)</translation>
    </message>
    <message>
        <location filename="../run/Bounds.cpp" line="+41"/>
        <source>No QZ7 within %1 s: the port is open but nothing answered. Power on the QZ7 while holding Run/Stop.</source>
        <extracomment>%1 the --wait seconds (also in the next three texts).</extracomment>
        <translation>Kein QZ7 innerhalb von %1 s: Der Port ist offen, aber nichts hat geantwortet. Schalten Sie den QZ7 bei gedrückter Run/Stop-Taste ein.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No QZ7 within %1 s: no permission to open the port (the line above says how to get it).</source>
        <translation>Kein QZ7 innerhalb von %1 s: keine Berechtigung, den Port zu öffnen (die Zeile darüber sagt, wie Sie sie erhalten).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No QZ7 within %1 s: the port is in use by another program. Close that program and run again.</source>
        <translation>Kein QZ7 innerhalb von %1 s: Der Port wird von einem anderen Programm benutzt. Beenden Sie dieses Programm und starten Sie erneut.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapter in (or check the path given with --port) and run again.</source>
        <translation>Kein QZ7 innerhalb von %1 s: Es wurde kein brauchbarer USB-Adapter gefunden. Stecken Sie den Adapter ein (oder prüfen Sie den mit --port angegebenen Pfad) und starten Sie erneut.</translation>
    </message>
    <message>
        <location filename="../core/RunRules.cpp" line="-20"/>
        <source>%1 during the update: the QZ7 has no firmware now. Power it on again while holding Run/Stop and update again.</source>
        <translation>%1 während der Aktualisierung: Der QZ7 hat jetzt keine Firmware. Schalten Sie ihn bei gedrückter Run/Stop-Taste wieder ein und aktualisieren Sie erneut.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 before anything was erased: the QZ7 is as it was.</source>
        <translation>%1, bevor etwas gelöscht wurde: Der QZ7 ist unverändert.</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>y yes</source>
        <extracomment>The words that answer yes at the terminal&apos;s &quot;[y/N]&quot; question, lower case, separated by spaces. Keep &quot;y yes&quot; and add the language&apos;s own short and long yes.</extracomment>
        <translation>y yes j ja</translation>
    </message>
    <message>
        <location filename="../terminal/Terminal.h" line="+22"/>
        <source>Not updated: the port given with --port cannot be used (with --wait the updater waits for it). Nothing was done to any port.</source>
        <translation>Nicht aktualisiert: Der mit --port angegebene Port ist nicht nutzbar (mit --wait wartet der Updater darauf). An keinem Port wurde etwas verändert.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not updated: the port given with --port cannot be used: it is no terminal, and waiting does not make it one. Nothing was done to any port.</source>
        <translation>Nicht aktualisiert: Der mit --port angegebene Port ist nicht verwendbar: Er ist kein Terminal, und Warten macht ihn nicht zu einem. An keinem Port wurde etwas geändert.</translation>
    </message>
    <message>
        <location filename="../run/Bounds.cpp" line="+22"/>
        <source>The QZ7 is being programmed: stopping now would leave it without firmware. The update goes on; press Ctrl+C again within 5 s to stop.</source>
        <translation>Der QZ7 wird programmiert: Jetzt anzuhalten ließe ihn ohne Firmware. Die Aktualisierung geht weiter; drücken Sie innerhalb von 5 s erneut Strg+C, um anzuhalten.</translation>
    </message>
    <message>
        <location filename="../run/BenchRun.cpp" line="-107"/>
        <location filename="../run/UnitRun.cpp" line="+124"/>
        <source>Interrupted</source>
        <extracomment>Stopped by Ctrl+C or a signal. Starts a sentence: &quot;… during the update: …&quot;, &quot;… before anything was erased: …&quot;.</extracomment>
        <translation>Unterbrochen</translation>
    </message>
    <message>
        <location filename="../run/Ledger.cpp" line="+118"/>
        <source>Last updated to %1 (Done) at %2: not updated again (--skip-done).</source>
        <extracomment>%1 the firmware version, %2 the time (UTC).</extracomment>
        <translation>Zuletzt am %2 auf %1 aktualisiert (Done): nicht erneut aktualisiert (--skip-done).</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The QZ7 %1 on %2 was left without firmware at %3; update it again.</source>
        <extracomment>%1 the unit&apos;s name, %2 its slot (the USB socket), %3 the time (UTC).</extracomment>
        <translation>Der QZ7 %1 an %2 blieb am %3 ohne Firmware; aktualisieren Sie ihn erneut.</translation>
    </message>
    <message>
        <location filename="../run/History.cpp" line="+421"/>
        <source>%1  %2  unit %3  slot %4  operator %5  station %6  found %7  firmware %8  lines %9</source>
        <extracomment>--history: one record. %1 its time, %2 the outcome&apos;s name (&quot;done&quot;, kept as it is), %3 the unit, %4 the slot, %5 the operator, %6 the station, %7 the version found, %8 the firmware sent, %9 the lines sent. The labels are read by people; keep two spaces between fields.</extracomment>
        <translation>%1  %2  Einheit %3  Steckplatz %4  Bediener %5  Station %6  vorgefunden %7  Firmware %8  Zeilen %9</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>(erase asked for at %1, no end recorded)</source>
        <translation>(Löschen angefordert um %1, kein Ende aufgezeichnet)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1  passed %2  failed %3  first-pass yield %4 %  units per hour %5</source>
        <extracomment>--history --summary: one day. %1 the day, %2 passed, %3 failed, %4 the first-pass yield in per cent, %5 units per hour.</extracomment>
        <translation>%1  bestanden %2  fehlgeschlagen %3  Erstdurchlaufquote %4 %  Einheiten pro Stunde %5</translation>
    </message>
    <message>
        <location filename="../run/HistoryList.cpp" line="+17"/>
        <source>No records yet in %1.</source>
        <extracomment>%1 the history file.</extracomment>
        <translation>Noch keine Datensätze in %1.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>cannot read the history %1: %2</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the history file, %2 the error.</extracomment>
        <translation>der Verlauf %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>No records of %1.</source>
        <extracomment>%1 the unit&apos;s name.</extracomment>
        <translation>Keine Datensätze von %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No records.</source>
        <translation>Keine Datensätze.</translation>
    </message>
    <message>
        <location filename="../terminal/PortList.cpp" line="+10"/>
        <location line="+38"/>
        <source>The serial ports could not be listed: the system&apos;s port enumeration did not start.</source>
        <translation>Die seriellen Ports konnten nicht aufgelistet werden: Die Port-Erkennung des Systems ist nicht angelaufen.</translation>
    </message>
    <message>
        <location line="-34"/>
        <source>No serial ports found. Plug in the USB serial adapter, or name a port with --port PATH.</source>
        <translation>Keine seriellen Ports gefunden. Schließen Sie den USB-Seriell-Adapter an oder nennen Sie einen Port mit --port PFAD.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>no device path</source>
        <translation>kein Gerätepfad</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>not considered (after the listing&apos;s end)</source>
        <translation>nicht berücksichtigt (nach dem Ende der Liste)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The updater would use %1: its name, %2, holds &quot;%3&quot;, and no later name holds &quot;usb&quot;, &quot;pl2303&quot; or &quot;serial&quot;.</source>
        <extracomment>--list: why the updater takes this port. %1 the path, %2 its name, %3 the word in it (&quot;usb&quot;).</extracomment>
        <translation>Der Updater würde %1 verwenden: Sein Name, %2, enthält „%3“, und kein späterer Name enthält „usb“, „pl2303“ oder „serial“.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No name holds &quot;usb&quot;, &quot;pl2303&quot; or &quot;serial&quot;: the updater would wait for an adapter. Name the port with --port PATH to use it anyway.</source>
        <translation>Kein Name enthält „usb“, „pl2303“ oder „serial“: Der Updater würde auf einen Adapter warten. Nennen Sie den Port mit --port PFAD, um ihn trotzdem zu verwenden.</translation>
    </message>
    <message numerus="yes">
        <location filename="../run/Records.cpp" line="+145"/>
        <source>QZ7 Updater %1, firmware %2, %n lines, sha256 %3</source>
        <comment>QZ7 Updater %1, firmware %2, %n line, sha256 %3</comment>
        <extracomment>--version: %1 the program&apos;s version, %2 the firmware&apos;s (&quot;V2.007&quot;), %n its lines, %3 its sha256.</extracomment>
        <translation>
            <numerusform>QZ7 Updater %1, Firmware %2, %n Zeile, sha256 %3</numerusform>
            <numerusform>QZ7 Updater %1, Firmware %2, %n Zeilen, sha256 %3</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UpdaterWindow</name>
    <message>
        <location filename="../window/UpdaterWindow.cpp" line="+114"/>
        <source>Erases the QZ7 and sends it firmware V%1</source>
        <translation>Löscht den QZ7 und sendet ihm die Firmware V%1</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 – %2</source>
        <extracomment>The window title after an update: its outcome (&quot;Done&quot;, &quot;Failed&quot;), then the program&apos;s name.</extracomment>
        <translation>%1 – %2</translation>
    </message>
    <message>
        <location line="+127"/>
        <source>%1 % – %2</source>
        <extracomment>The window title during the transfer: the share sent so far (%1 %), then the program&apos;s name.</extracomment>
        <translation>%1 % – %2</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>Keep updating</source>
        <translation>Weiter aktualisieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <location filename="../window/UpdaterWindow.h" line="+104"/>
        <source>QZ7 Updater</source>
        <translation>QZ7 Updater</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 is being programmed. Stopping now leaves it without firmware until it is updated again.</source>
        <translation>Der QZ7 wird programmiert. Wenn Sie jetzt anhalten, bleibt er ohne Firmware, bis er erneut aktualisiert wird.</translation>
    </message>
    <message>
        <location filename="../window/WindowFrontEnd.cpp" line="+122"/>
        <location line="+30"/>
        <source>Save report</source>
        <translation>Bericht speichern</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>Report (*.tar.gz)</source>
        <translation>Bericht (*.tar.gz)</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>The report could not be written to %1: %2.</source>
        <translation>Der Bericht konnte nicht nach %1 geschrieben werden: %2.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>The history did not take this unit&apos;s record: %1.</source>
        <translation>Der Verlauf hat den Eintrag dieser Einheit nicht aufgenommen: %1.</translation>
    </message>
    <message>
        <location filename="../app/main.cpp" line="+68"/>
        <source>The history %1 cannot be kept: %2. Nothing was done to any port.</source>
        <translation>Der Verlauf %1 kann nicht geführt werden: %2. An keinem Anschluss wurde etwas getan.</translation>
    </message>
</context>
<context>
    <name>Words</name>
    <message>
        <location filename="../core/Words.cpp" line="+81"/>
        <source>%1 %2</source>
        <extracomment>Two sentences in a row: the first (%1), then the next (%2).</extracomment>
        <translation>%1 %2</translation>
    </message>
</context>
</TS>
