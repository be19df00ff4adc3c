<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Directions</name>
    <message>
        <location filename="../core/Directions.h" line="+13"/>
        <source>Connect USB adapter</source>
        <extracomment>The first screen, shown large: no USB serial adapter is plugged in yet.</extracomment>
        <translation>USB アダプターを接続してください</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Power on the QZ7 while holding front Run/Stop button</source>
        <extracomment>Shown large. Run/Stop is the name printed on the QZ7&apos;s button: keep it.</extracomment>
        <translation>前面の Run/Stop ボタンを押したまま QZ7 の電源を入れてください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Updating QZ7, please wait...</source>
        <translation>QZ7 を更新しています。お待ちください...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Version not Found.
Update anyway?</source>
        <translation>バージョンが見つかりません。
このまま更新しますか?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Erased
Please restart the program
and the QZ7</source>
        <translation>消去されませんでした
プログラムと QZ7 を
再起動してください</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Done</source>
        <extracomment>The QZ7 said its firmware is written: the update succeeded.</extracomment>
        <translation>完了</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Trying to write to unopened Port</source>
        <extracomment>The port closed before the program could write to it.</extracomment>
        <translation>開いていないポートに書き込もうとしました</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>USB adapter disconnected
Please restart the program
and the QZ7</source>
        <translation>USB アダプターが外れました
プログラムと QZ7 を
再起動してください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No version reply
Please restart the program
and the QZ7</source>
        <translation>バージョンの応答がありません
プログラムと QZ7 を
再起動してください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware image damaged
Please reinstall the program</source>
        <translation>ファームウェアイメージが壊れています
プログラムを再インストールしてください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Done
Please restart the program
and the QZ7</source>
        <translation>更新できませんでした (Not Done)
プログラムと QZ7 を
再起動してください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 restarted during the update
It has no firmware now
Restart the program, power on the QZ7
while holding Run/Stop, and update again</source>
        <translation>更新中に QZ7 が再起動しました
現在 QZ7 にはファームウェアがありません
プログラムを再起動し、Run/Stop を押したまま
QZ7 の電源を入れて、もう一度更新してください</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>QZ7 stopped accepting data
Please restart the program
and the QZ7</source>
        <translation>QZ7 がデータを受け付けなくなりました
プログラムと QZ7 を
再起動してください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 stopped before the whole image was sent
It has no firmware now
Restart the program, power on the QZ7
while holding Run/Stop, and update again</source>
        <translation>イメージをすべて送る前に QZ7 が止まりました
現在 QZ7 にはファームウェアがありません
プログラムを再起動し、Run/Stop を押したまま
QZ7 の電源を入れて、もう一度更新してください</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Found Version: %1
 Update To: QZ7 V%2?
</source>
        <extracomment>The version question. %1 the version the QZ7 reported (&quot;2.005&quot;), %2 the firmware this program carries (&quot;2.007&quot;). Line breaks may go where your language needs them.</extracomment>
        <translation>検出したバージョン: %1
 QZ7 V%2 に更新しますか?
</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unexpected reply: %1
Please restart the program
and the QZ7</source>
        <extracomment>%1 the QZ7&apos;s reply as it sent it (at most 40 characters, escaped).</extracomment>
        <translation>予期しない応答: %1
プログラムと QZ7 を
再起動してください</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An Exception Occured:
%1</source>
        <extracomment>%1 the error&apos;s own text, from the system.</extracomment>
        <translation>例外が発生しました:
%1</translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <location filename="../core/Endings.cpp" line="+21"/>
        <source>the QZ7 was updated (Done)</source>
        <extracomment>--help&apos;s list of exit statuses: each text says what ended a run with that status (after the number). Option names (--wait) and the QZ7&apos;s own words (Done, Not Done) stay as they are.</extracomment>
        <translation>QZ7 を更新した (Done)</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>an error nobody foresaw</source>
        <translation>想定外のエラー</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>no usable adapter within --wait, or a --port that can never be one</source>
        <translation>--wait の間に使えるアダプターがない、または --port の指定先がアダプターになり得ない</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>no permission to open the port</source>
        <translation>ポートを開く権限がない</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the port is in use by another program</source>
        <translation>ポートを別のプログラムが使用中</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>the adapter was disconnected, or the port closed under the update</source>
        <translation>更新中にアダプターが外れた、またはポートが閉じた</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>the QZ7 was not erased</source>
        <translation>QZ7 が消去されなかった</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>an unexpected reply from the QZ7</source>
        <translation>QZ7 から予期しない応答があった</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no version reply</source>
        <translation>バージョンの応答がない</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>not updated: the answer was no (or input ended, or was too long)</source>
        <translation>更新せず: 答えが「いいえ」だった (または入力が終わった、長すぎた)</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>the firmware image is damaged; nothing was erased</source>
        <translation>ファームウェアイメージが壊れている。何も消去していない</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>the QZ7 answered Not Done</source>
        <translation>QZ7 が Not Done と応答した</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the QZ7 restarted during the update</source>
        <translation>更新中に QZ7 が再起動した</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>the QZ7 stopped accepting data</source>
        <translation>QZ7 がデータを受け付けなくなった</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>the port opened, but no QZ7 answered within --wait</source>
        <translation>ポートは開いたが、--wait の間に QZ7 が応答しなかった</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>the QZ7 said Done before the whole image was sent</source>
        <translation>イメージをすべて送る前に QZ7 が Done と応答した</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>several units: not every one was updated (each unit&apos;s status is in --json and --report)</source>
        <translation>複数台: 更新されなかった台がある (各台の状態は --json と --report に出力)</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>--skip-current: the QZ7 already has the firmware this program carries; not updated</source>
        <translation>--skip-current: 本プログラムのファームウェアが QZ7 にすでに入っているため更新せず</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--yes: the QZ7 has newer firmware than this program carries; not updated (see --allow-older)</source>
        <translation>--yes: QZ7 のファームウェアが本プログラムのものより新しいため更新せず (--allow-older を参照)</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>wrong usage: an unknown option or a bad value</source>
        <translation>使い方の誤り: 不明なオプションまたは不正な値</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>standard output (or the --report file) could not be written</source>
        <translation>標準出力 (または --report のファイル) に書き込めなかった</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>--timeout ran out; the port was put back</source>
        <translation>--timeout の時間切れ。ポートの設定は元に戻した</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>stopped by SIGINT (twice within 5 s while the QZ7 is being programmed), SIGTERM or SIGHUP; the port was put back</source>
        <translation>SIGINT (QZ7 への書き込み中は 5 秒以内に 2 回)、SIGTERM または SIGHUP で停止。ポートの設定は元に戻した</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Exit statuses (with --cli):</source>
        <translation>終了ステータス (--cli 使用時):</translation>
    </message>
    <message>
        <location filename="../app/Startup.cpp" line="+70"/>
        <source>path</source>
        <extracomment>The value of --port in --help (&quot;--port &lt;path&gt;&quot;); the descriptions quote it as &lt;path&gt;.</extracomment>
        <translation>パス</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>file</source>
        <extracomment>The value of --report, --capture and --history-file in --help (&quot;--report &lt;file&gt;&quot;).</extracomment>
        <translation>ファイル</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>seconds</source>
        <extracomment>The value of --wait and --timeout in --help (&quot;--wait &lt;seconds&gt;&quot;).</extracomment>
        <translation>秒数</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>name</source>
        <extracomment>The value of --unit and --operator in --help (&quot;--unit &lt;name&gt;&quot;).</extracomment>
        <translation>名前</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Updates the firmware of a QZ7 over a USB serial adapter. Connect the adapter, power on the QZ7 while holding its front Run/Stop button, and follow the directions in the window.</source>
        <translation>USB シリアルアダプター経由で QZ7 のファームウェアを更新します。アダプターを接続し、前面の Run/Stop ボタンを押したまま QZ7 の電源を入れ、ウィンドウの指示に従ってください。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Run on the terminal, without a window: print the directions and the status as they change, ask the version question there, and end with an exit status that says how the update ended (see the manual page).</source>
        <translation>ウィンドウを使わず端末で実行します: 指示と状態を変わるたびに表示し、バージョンの質問を端末で尋ね、更新の結果を示す終了ステータスで終了します (マニュアルページを参照)。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Use the serial device at &lt;path&gt; instead of searching for a USB adapter. Given several times (with --cli --yes), updates those units side by side.</source>
        <translation>USB アダプターを探す代わりに &lt;パス&gt; のシリアルデバイスを使います。(--cli --yes と共に) 複数回指定すると、それらの台を並行して更新します。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli --yes: update every USB adapter&apos;s QZ7 side by side (every port that --list --json shows as taken).</source>
        <translation>--cli --yes と共に: すべての USB アダプターの QZ7 を並行して更新します (--list --json で taken となるすべてのポート)。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli, --list or --version: JSON Lines on standard output, one object per event (see the manual page); the prose goes to standard error.</source>
        <translation>--cli、--list、--version と共に: 標準出力に JSON Lines でイベントごとに 1 つのオブジェクトを出力します (マニュアルページを参照)。説明文は標準エラーに出力します。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: read each QZ7&apos;s version and end without erasing anything.</source>
        <translation>--cli と共に: 各 QZ7 のバージョンを読み取り、何も消去せずに終了します。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: leave a QZ7 that already has the firmware this program carries.</source>
        <translation>--cli と共に: 本プログラムのファームウェアがすでに入っている QZ7 はそのままにします。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: append one JSON line per unit to &lt;file&gt; as each unit ends.</source>
        <translation>--cli と共に: 各台が終わるたびに、1 台につき JSON を 1 行 &lt;ファイル&gt; に追記します。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Record every byte read from and written to the port, with its time, in &lt;file&gt; (JSON Lines; with several units, one file per unit named by its slot), for qz7-bootsim --replay.</source>
        <translation>ポートから読んだバイトと書いたバイトをすべて、その時刻とともに &lt;ファイル&gt; に記録します (JSON Lines。複数台のときは、スロット名の付いた台ごとのファイル)。qz7-bootsim --replay 用です。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli: answer the version question with Update.</source>
        <translation>--cli と共に: バージョンの質問に「更新」と答えます。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli --yes: update a QZ7 that has newer firmware than this program carries too (without it, such a QZ7 is left as it is, with exit status 18).</source>
        <translation>--cli --yes と共に: 本プログラムのものより新しいファームウェアが入っている QZ7 も更新します (このオプションがなければ、その QZ7 はそのままにし、終了ステータス 18 で終わります)。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: give up when no QZ7 has answered within &lt;seconds&gt; (default: wait for ever).</source>
        <translation>--cli と共に: &lt;秒数&gt; 以内に QZ7 が応答しなければあきらめます (既定: いつまでも待つ)。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: stop when the whole update has not ended within &lt;seconds&gt;, as a SIGTERM stops it, with exit status 124.</source>
        <translation>--cli と共に: 更新全体が &lt;秒数&gt; 以内に終わらなければ、SIGTERM と同じように終了ステータス 124 で停止します。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli and one port: the name of the QZ7 on it (its serial number or label), in every record of the update. For several ports: --port PATH=NAME.</source>
        <translation>--cli と 1 つのポートで: そのポートの QZ7 の名前 (シリアル番号またはラベル)。更新のすべての記録に入ります。複数のポートでは --port パス=名前。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli: the operator&apos;s name in every record (default: the login name).</source>
        <translation>--cli で: すべての記録に入るオペレーターの名前 (既定: ログイン名)。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The history database to write and read (default: $XDG_STATE_HOME/qz7-updater/history.sqlite).</source>
        <translation>書き込みと読み出しに使う履歴データベース (既定: $XDG_STATE_HOME/qz7-updater/history.sqlite)。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Print the last records of the history (only the records of the unit named after it, with --json as JSON Lines, with --summary the figures per day), and end.</source>
        <translation>履歴の最後の記録を表示して終了します (後に名前を付けるとそのユニットの記録のみ、--json で JSON Lines、--summary で日ごとの数値)。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --history: passed, failed, first-pass yield and units per hour, per day.</source>
        <translation>--history で: 日ごとの成功数、失敗数、初回合格率、1 時間あたりのユニット数。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: leave a named QZ7 whose last record is Done with the firmware this program carries.</source>
        <translation>--cli で: 最後の記録がこのプログラムのファームウェアで Done になっている名前付きの QZ7 をそのままにします。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>List the serial ports with their names, paths and identities, mark the one the updater would choose, and end.</source>
        <translation>シリアルポートを名前、パス、識別情報とともに一覧表示し、本プログラムが選ぶポートに印を付けて終了します。</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>Try qz7-updater --help.</source>
        <extracomment>After a usage error; keep the command as it is.</extracomment>
        <translation>qz7-updater --help を参照してください。</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <extracomment>%1 the argument as it was typed.</extracomment>
        <translation>予期しない引数 &apos;%1&apos; です。</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>--port needs the path of a serial device, such as /dev/ttyUSB0.</source>
        <translation>--port にはシリアルデバイスのパス (/dev/ttyUSB0 など) が必要です。</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>--port PATH=NAME needs a path and a name of 1 to 128 characters, none of them a control character.</source>
        <translation>--port PATH=NAME にはパスと、制御文字を含まない 1〜128 文字の名前が必要です。</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>--port %1 is given twice: name each adapter once.</source>
        <translation>--port %1 が二回指定されています。各アダプターは一回だけ指定してください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--port %1 and --port %2 are the same device: name each adapter once.</source>
        <translation>--port %1 と --port %2 は同じデバイスです。各アダプターは一回だけ指定してください。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--report needs the name of a file.</source>
        <translation>--report にはファイル名が必要です。</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>--history-file needs the name of a file.</source>
        <translation>--history-file にはファイル名が必要です。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--%1 needs a name of 1 to 128 characters, none of them a control character.</source>
        <translation>--%1 には制御文字を含まない 1〜128 文字の名前が必要です。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>--history goes alone (or with a unit&apos;s name, --json, --summary and --history-file).</source>
        <translation>--history は単独で使います (ユニット名、--json、--summary、--history-file とは併用できます)。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--history --summary counts every unit: it goes without a unit&apos;s name.</source>
        <translation>--history --summary はすべてのユニットを数えます: ユニット名なしで使います。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>--summary goes with --history.</source>
        <translation>--summary は --history と一緒に使います。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit names the unit on one port: with several, name each as --port PATH=NAME.</source>
        <translation>--unit は 1 つのポートのユニットに名前を付けます: 複数のときはそれぞれ --port パス=名前 で付けます。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit names the unit on one port: --all takes every adapter.</source>
        <translation>--unit は 1 つのポートのユニットに名前を付けます: --all はすべてのアダプターを使います。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit, --operator and --skip-done go with --cli.</source>
        <translation>--unit、--operator、--skip-done は --cli と一緒に使います。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--skip-done looks units up by name: give --unit NAME, or --port PATH=NAME for each port.</source>
        <translation>--skip-done は名前でユニットを調べます: --unit 名前、または各ポートに --port パス=名前 を指定してください。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--capture needs the name of a file.</source>
        <translation>--capture にはファイル名が必要です。</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>--%1 needs a whole number of seconds, from 1 to 604800 (a week).</source>
        <extracomment>%1 the option&apos;s name without its dashes (wait, timeout).</extracomment>
        <translation>--%1 には 1 から 604800 (1 週間) までの整数の秒数が必要です。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--yes, --wait and --timeout go with --cli.</source>
        <translation>--yes、--wait、--timeout は --cli と共に使います。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--allow-older goes with --cli.</source>
        <translation>--allow-older は --cli と共に使います。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--list goes alone (or with --json).</source>
        <translation>--list は単独で (または --json と共に) 使います。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--all, --json, --check, --skip-current and --report go with --cli.</source>
        <translation>--all、--json、--check、--skip-current、--report は --cli と共に使います。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--all takes every adapter: it goes without --port.</source>
        <translation>--all はすべてのアダプターを使うため、--port とは併用しません。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With several units, --all, --json, --skip-current or --report the version question is answered ahead: add --yes (or --check).</source>
        <translation>複数台、--all、--json、--skip-current、--report では、バージョンの質問に前もって答えておく必要があります: --yes (または --check) を付けてください。</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>cannot write to standard output: %1</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the system&apos;s error text.</extracomment>
        <translation>標準出力に書き込めません: %1</translation>
    </message>
</context>
<context>
    <name>OneLine</name>
    <message>
        <location filename="../core/Words.cpp" line="+25"/>
        <source>Version not Found. Update anyway?</source>
        <translation>バージョンが見つかりません。このまま更新しますか?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Erased. Please restart the program and the QZ7</source>
        <translation>消去されませんでした。プログラムと QZ7 を再起動してください。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>USB adapter disconnected. Please restart the program and the QZ7</source>
        <translation>USB アダプターが外れました。プログラムと QZ7 を再起動してください。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No version reply. Please restart the program and the QZ7</source>
        <translation>バージョンの応答がありません。プログラムと QZ7 を再起動してください。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware image damaged. Please reinstall the program</source>
        <translation>ファームウェアイメージが壊れています。プログラムを再インストールしてください。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Done. Please restart the program and the QZ7</source>
        <translation>更新できませんでした (Not Done)。プログラムと QZ7 を再起動してください。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 restarted during the update. It has no firmware now. Restart the program, power on the QZ7 while holding Run/Stop, and update again</source>
        <translation>更新中に QZ7 が再起動しました。現在 QZ7 にはファームウェアがありません。プログラムを再起動し、Run/Stop を押したまま QZ7 の電源を入れて、もう一度更新してください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>QZ7 stopped accepting data. Please restart the program and the QZ7</source>
        <translation>QZ7 がデータを受け付けなくなりました。プログラムと QZ7 を再起動してください。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 stopped before the whole image was sent. It has no firmware now. Restart the program, power on the QZ7 while holding Run/Stop, and update again</source>
        <translation>イメージをすべて送る前に QZ7 が止まりました。現在 QZ7 にはファームウェアがありません。プログラムを再起動し、Run/Stop を押したまま QZ7 の電源を入れて、もう一度更新してください。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Found Version: %1. Update To: QZ7 V%2?</source>
        <extracomment>%1 the version the QZ7 reported, %2 the firmware this program carries.</extracomment>
        <translation>検出したバージョン: %1。QZ7 V%2 に更新しますか?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unexpected reply: %1. Please restart the program and the QZ7</source>
        <extracomment>%1 the QZ7&apos;s reply as it sent it (at most 40 characters, escaped).</extracomment>
        <translation>予期しない応答: %1。プログラムと QZ7 を再起動してください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An Exception Occured: %1</source>
        <extracomment>%1 the error&apos;s own text, from the system.</extracomment>
        <translation>例外が発生しました: %1</translation>
    </message>
</context>
<context>
    <name>QCommandLineParser</name>
    <message>
        <location filename="../app/Startup.cpp" line="-346"/>
        <source>Displays help on commandline options.</source>
        <translation>コマンドラインオプションのヘルプを表示します。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Displays help including Qt specific options.</source>
        <translation>Qt 固有のオプションを含むヘルプを表示します。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Displays version information.</source>
        <translation>バージョン情報を表示します。</translation>
    </message>
</context>
<context>
    <name>QZ7UpdaterWindow</name>
    <message>
        <location filename="../window/QZ7_Updater.ui" line="+12"/>
        <source>QZ7 Updater</source>
        <translation>QZ7 アップデーター</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Puts new firmware on a QZ7 through a USB serial adapter</source>
        <translation>USB シリアルアダプター経由で QZ7 に新しいファームウェアを書き込みます</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>QZ7s an earlier update left without firmware</source>
        <translation>以前の更新でファームウェアのないまま残された QZ7</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>QZ7 front panel</source>
        <translation>QZ7 の前面パネル</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Picture of the QZ7 the updater found, its display reading BOOT</source>
        <translation>検出した QZ7 の画像 (表示部に BOOT と表示)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>How the update ended</source>
        <translation>更新の結果</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>What to do next</source>
        <translation>次にすること</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Details: the adapter, the progress, what went wrong</source>
        <translation>詳細: アダプター、進み具合、問題の内容</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Command to run</source>
        <translation>実行するコマンド</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A command for a terminal, to select or copy</source>
        <translation>端末で実行するコマンド (選択またはコピーできます)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Copy</source>
        <translation>コピー</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Copies the command to the clipboard</source>
        <translation>コマンドをクリップボードにコピーします</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Details, after the command</source>
        <translation>詳細 (コマンドの後)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Update progress</source>
        <translation>更新の進み具合</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Share of the firmware sent to the QZ7</source>
        <translation>QZ7 に送信済みのファームウェアの割合</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Save report…</source>
        <extracomment>Saves a file for support: what went over the line, and the transcript.</extracomment>
        <translation>レポートを保存…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Saves the capture of the QZ7&apos;s bytes and the transcript in one file to send to support</source>
        <translation>QZ7 のバイトの記録とトランスクリプトを、サポートに送る 1 つのファイルに保存します</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Restart</source>
        <extracomment>A failure screen&apos;s button: starts again, looking for the adapter and waiting for the QZ7. The status line names it.</extracomment>
        <translation>再起動</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Starts the update again from Connect USB adapter; then power the QZ7 on while holding Run/Stop</source>
        <translation>「USB アダプターを接続してください」から更新をやり直します。その後、Run/Stop を押したまま QZ7 の電源を入れてください</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Update another QZ7</source>
        <extracomment>After Done: waits for the next QZ7 on the same adapter. The status line names it.</extracomment>
        <translation>別の QZ7 を更新</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Starts over for the next QZ7 on the same adapter</source>
        <translation>同じアダプターで次の QZ7 の更新を始めます</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cancel</source>
        <extracomment>Answers the version question: ends the program and leaves the QZ7 as it is.</extracomment>
        <translation>キャンセル</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Leaves the QZ7 as it is and closes the program</source>
        <translation>QZ7 をそのままにしてプログラムを閉じます</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Update</source>
        <extracomment>Answers the version question: erases the QZ7 and sends it the new firmware.</extracomment>
        <translation>更新</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Closes the program</source>
        <translation>プログラムを閉じます</translation>
    </message>
</context>
<context>
    <name>Status</name>
    <message>
        <location filename="../core/Status.cpp" line="+42"/>
        <source>%1 s</source>
        <extracomment>A duration in seconds (&quot;5 s&quot;).</extracomment>
        <translation>%1 秒</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 min %2 s</source>
        <extracomment>A duration: %1 minutes, %2 seconds.</extracomment>
        <translation>%1 分 %2 秒</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>No permission to open %1 (owner %2, group %3).</source>
        <extracomment>%1 the device path, %2 its owner&apos;s user name, %3 its group.</extracomment>
        <translation>%1 を開く権限がありません (所有者 %2、グループ %3)。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Only its owner may use it. An administrator can give access with a udev rule (see &quot;Permission to use the adapter&quot; in the README).</source>
        <translation>所有者しか使えません。管理者が udev ルールでアクセスを許可できます (README の「Permission to use the adapter」を参照)。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>You are in the group %1, but this login is not yet: log out and back in, then start the updater again.</source>
        <extracomment>%1 the group&apos;s name (dialout).</extracomment>
        <translation>グループ %1 に入っていますが、今のログインにはまだ反映されていません。ログアウトしてログインし直し、本プログラムを起動し直してください。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>You are in the group %1 already; an administrator needs to check the device&apos;s access rules.</source>
        <extracomment>%1 the group&apos;s name (dialout).</extracomment>
        <translation>すでにグループ %1 に入っています。管理者にデバイスのアクセスルールを確認してもらってください。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add yourself to the group with</source>
        <extracomment>A command follows on a line of its own (sudo adduser …), then &quot;then log out and back in …&quot;.</extracomment>
        <translation>次のコマンドで自分をグループに追加してください:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>then log out and back in (the group counts only for a new login).</source>
        <translation>その後、ログアウトしてログインし直してください (グループは新しいログインでのみ有効です)。</translation>
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
        <translation>%1 は別のプログラムが使用中です。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 is in use by another program: %2.</source>
        <extracomment>%1 the device path, %2 the programs that hold it.</extracomment>
        <translation>%1 は別のプログラムが使用中です: %2。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Close it; the updater opens the adapter as soon as it is free.</source>
        <translation>そのプログラムを閉じてください。空きしだい本プログラムがアダプターを開きます。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 is running; it is known to take serial adapters.</source>
        <extracomment>%1 a program&apos;s name (ModemManager).</extracomment>
        <translation>%1 が動作しています。これはシリアルアダプターを占有することがあります。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 are running; they are known to take serial adapters.</source>
        <extracomment>%1 programs&apos; names, joined by &quot;and&quot;.</extracomment>
        <translation>%1 が動作しています。これらはシリアルアダプターを占有することがあります。</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+40"/>
        <source>and</source>
        <extracomment>Joins the last two names of a list (&quot;A, B and C&quot;).</extracomment>
        <translation>と</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>%1 is not a serial port. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>%1 はシリアルポートではありません。/dev/ttyUSB0 のようなアダプターのデバイスを指定してください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cannot open %1: %2.</source>
        <extracomment>%1 the device path, %2 the system&apos;s error text.</extracomment>
        <translation>%1 を開けません: %2。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cannot set up %1 (%2): %3.</source>
        <extracomment>%1 the device path, %2 the system call that failed (tcsetattr), %3 the system&apos;s error text.</extracomment>
        <translation>%1 を設定できません (%2): %3。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Plug the adapter in again.</source>
        <translation>アダプターを接続し直してください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The updater keeps trying.</source>
        <translation>本プログラムは試行を続けます。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 is the terminal this program runs on, not an adapter. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>%1 は本プログラムが動作している端末で、アダプターではありません。/dev/ttyUSB0 のようなアダプターのデバイスを指定してください。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cannot open %1: %2. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>%1 を開けません: %2。/dev/ttyUSB0 のようなアダプターのデバイスを指定してください。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No USB serial adapter found.</source>
        <translation>USB シリアルアダプターが見つかりません。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The system lists no serial port at all: plug the adapter in, or try another USB socket or cable.</source>
        <translation>システムにシリアルポートが 1 つもありません。アダプターを接続するか、別の USB 差し込み口やケーブルを試してください。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Seen: %1, not a USB adapter.</source>
        <extracomment>%1 the serial ports the system lists, joined by commas and &quot;and&quot;.</extracomment>
        <translation>検出: %1 (USB アダプターではありません)。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seen: %1, not USB adapters.</source>
        <translation>検出: %1 (いずれも USB アダプターではありません)。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>An adapter appeared at %1 and went away again: brltty, a braille display driver, is running and takes such adapters. Unless you use a braille display, remove it with</source>
        <extracomment>%1 the device path; the command that removes brltty follows on a line of its own.</extracomment>
        <translation>アダプターが %1 に現れて、また消えました。点字ディスプレイ用ドライバーの brltty が動作していて、このようなアダプターを占有します。点字ディスプレイを使っていなければ、次のコマンドで削除してください:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>then plug the adapter in again.</source>
        <translation>その後、アダプターを接続し直してください。</translation>
    </message>
    <message>
        <location line="+12"/>
        <location filename="../terminal/PortList.cpp" line="+16"/>
        <source>serial %1</source>
        <extracomment>%1 the adapter&apos;s USB serial number.</extracomment>
        <translation>シリアル番号 %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Adapter on %1</source>
        <translation>%1 のアダプター</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Adapter on %1: %2</source>
        <extracomment>%1 the device path, %2 what the adapter says of itself (maker, USB ids, serial number).</extracomment>
        <translation>%1 のアダプター: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Nothing from the QZ7 for %1 s. Switch it off, then hold the front Run/Stop button while you switch it on. Check that the cable goes to the QZ7.</source>
        <extracomment>%1 the seconds without a byte from the QZ7.</extracomment>
        <translation>QZ7 から %1 秒間応答がありません。電源を切り、前面の Run/Stop ボタンを押したまま電源を入れてください。ケーブルが QZ7 につながっているか確認してください。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>No answer from the QZ7 for %1 s. Check the cable and the QZ7&apos;s power; the update goes on as soon as it answers.</source>
        <extracomment>%1 the seconds without a byte from the QZ7.</extracomment>
        <translation>QZ7 から %1 秒間応答がありません。ケーブルと QZ7 の電源を確認してください。応答があればすぐに更新を続けます。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>its banner</source>
        <extracomment>What the updater waits for: %2 of &quot;The QZ7 sent …, not %2&quot; (also the next five texts).</extracomment>
        <translation>起動メッセージ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>a version (a line with &quot;V&quot;)</source>
        <translation>バージョン (「V」を含む行)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the prompt &quot;E or P?&quot;</source>
        <translation>プロンプト「E or P?」</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;Erased&quot;</source>
        <translation>「Erased」</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;Done&quot;</source>
        <translation>「Done」</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the &quot;*&quot; that asks for the next line</source>
        <translation>次の行を求める「*」</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The QZ7 sent only empty lines, not %1; the updater waits on.</source>
        <extracomment>%1 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>QZ7 から届いたのは空行だけで、%1 ではありません。待ち続けます。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 sent what the updater cannot read (&quot;%1&quot;), not %2; the updater waits on.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>QZ7 から読み取れないデータ (「%1」) が届きました。%2 ではありません。待ち続けます。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 sent &quot;%1&quot; and has not ended the line; the updater waits for %2.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>QZ7 から「%1」が届きましたが、行が終わっていません。%2 を待っています。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 sent &quot;%1&quot;, not %2; the updater waits on.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>QZ7 から「%1」が届きました。%2 ではありません。待ち続けます。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>If it stays so, the QZ7 must be restarted: switch it off, hold Run/Stop while you switch it on, and update again.</source>
        <translation>このままなら QZ7 の再起動が必要です。電源を切り、Run/Stop を押したまま電源を入れて、もう一度更新してください。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A wrong line speed, a wrong cable, or another device than a QZ7 in boot-loader mode sends such bytes: check the cable and what it is plugged into.</source>
        <translation>通信速度やケーブルの誤り、またはブートローダーモードの QZ7 以外の機器が、このようなバイトを送ります。ケーブルとその接続先を確認してください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>If it stays so, check that the cable goes to a QZ7 switched on with Run/Stop held.</source>
        <translation>このままなら、ケーブルが Run/Stop を押したまま電源を入れた QZ7 につながっているか確認してください。</translation>
    </message>
    <message numerus="yes">
        <location line="+6"/>
        <source>The QZ7 answered %n times without &quot;E or P?&quot;, last with &quot;%1&quot;. It may not be a QZ7 in boot-loader mode: switch it off, hold Run/Stop while you switch it on, and check what the cable goes to.</source>
        <comment>The QZ7 answered %n time without &quot;E or P?&quot;, last with &quot;%1&quot;. It may not be a QZ7 in boot-loader mode: switch it off, hold Run/Stop while you switch it on, and check what the cable goes to.</comment>
        <extracomment>%n the QZ7&apos;s answers, %1 the last of them (escaped). &quot;E or P?&quot; is the QZ7&apos;s own prompt: keep it.</extracomment>
        <translation>
            <numerusform>QZ7 は「E or P?」なしで %n 回応答しました (最後は「%1」)。ブートローダーモードの QZ7 ではない可能性があります。電源を切り、Run/Stop を押したまま電源を入れて、ケーブルの接続先を確認してください。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+32"/>
        <source>Sent %n lines (%1 kB) in %2 s. The QZ7 now has firmware %3.</source>
        <comment>Sent %n line (%1 kB) in %2 s. The QZ7 now has firmware %3.</comment>
        <extracomment>%n the image lines sent, %1 kilobytes, %2 seconds, %3 the firmware version (&quot;V2.007&quot;).</extracomment>
        <translation>
            <numerusform>%n 行 (%1 kB) を %2 秒で送信しました。QZ7 のファームウェアは %3 になりました。</numerusform>
        </translation>
    </message>
    <message>
        <location line="-20"/>
        <source>Line %1 of %2</source>
        <extracomment>%1 the image line being sent, %2 the image&apos;s lines.</extracomment>
        <translation>%1 / %2 行</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, </source>
        <extracomment>Between the parts of the transfer&apos;s progress: &quot;Line 12 of 3075, 13.2 kB/s, about 5 s left&quot;.</extracomment>
        <translation>、</translation>
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
        <translation>残り約 %1</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>You can disconnect it now; for the next QZ7, press Update another QZ7.</source>
        <extracomment>&quot;Update another QZ7&quot; is the window&apos;s button: use its text.</extracomment>
        <translation>QZ7 は取り外してかまいません。次の QZ7 は「別の QZ7 を更新」を押してください。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Stopped while waiting for the QZ7&apos;s banner.</source>
        <translation>QZ7 の起動メッセージを待つ間に停止しました。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while reading the QZ7&apos;s version.</source>
        <translation>QZ7 のバージョンを読み取る間に停止しました。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while waiting for the erase prompt.</source>
        <translation>消去のプロンプトを待つ間に停止しました。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while waiting for the erase to finish.</source>
        <translation>消去の完了を待つ間に停止しました。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stopped while sending the image, after line %1 of %2.</source>
        <translation>イメージの送信中、%1 / %2 行の後で停止しました。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Stopped while waiting for &quot;Done&quot; after the last line.</source>
        <translation>最後の行の後、「Done」を待つ間に停止しました。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stopped while in dialogue state %1.</source>
        <extracomment>%1 a number: a state the program never reaches.</extracomment>
        <translation>やり取りの段階 %1 で停止しました。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The adapter&apos;s line went dead: it was unplugged or lost power.</source>
        <translation>アダプターとの通信が途絶えました。アダプターが抜かれたか、電源が切れました。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The adapter stopped working (%1, errno %2): it was unplugged or lost power.</source>
        <translation>アダプターが動作しなくなりました (%1、errno %2)。アダプターが抜かれたか、電源が切れました。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Last from the QZ7: &quot;%1&quot;.</source>
        <extracomment>%1 the QZ7&apos;s last reply (escaped).</extracomment>
        <translation>QZ7 からの最後の応答: 「%1」。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The QZ7 may have no firmware now: press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>現在 QZ7 にはファームウェアがない可能性があります。「再起動」を押し、QZ7 の電源を切ってから、Run/Stop を押したまま電源を入れてください。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 has no firmware now: press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>現在 QZ7 にはファームウェアがありません。「再起動」を押し、QZ7 の電源を切ってから、Run/Stop を押したまま電源を入れてください。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>「再起動」を押し、QZ7 の電源を切ってから、Run/Stop を押したまま電源を入れてください。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 may have no firmware now: switch it off, then hold Run/Stop while you switch it on.</source>
        <translation>現在 QZ7 にはファームウェアがない可能性があります。電源を切り、Run/Stop を押したまま電源を入れてください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The QZ7 has no firmware now: switch it off, then hold Run/Stop while you switch it on.</source>
        <translation>現在 QZ7 にはファームウェアがありません。電源を切り、Run/Stop を押したまま電源を入れてください。</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>This QZ7 has %1, newer than the %2 this program carries: Update would put the older firmware on it.</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>この QZ7 には %1 が入っており、本プログラムの %2 より新しいです: 更新すると古いファームウェアが書き込まれます。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This QZ7 already has %1, the firmware this program carries.</source>
        <extracomment>%1 the version on the QZ7.</extracomment>
        <translation>この QZ7 にはすでに本プログラムのファームウェア %1 が入っています。</translation>
    </message>
</context>
<context>
    <name>Terminal</name>
    <message>
        <location filename="../run/BenchRun.cpp" line="+154"/>
        <source>The history could not be written to %1: %2.</source>
        <extracomment>%1 the file, %2 the error.</extracomment>
        <translation>履歴を %1 に書き込めませんでした: %2。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The report could not be written to %1: %2.</source>
        <extracomment>%1 the file, %2 the error.</extracomment>
        <translation>レポートを %1 に書き込めませんでした: %2。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Ended: %1 (status %2).</source>
        <extracomment>%1 the outcome&apos;s name as scripts read it (&quot;done&quot;, &quot;not-erased&quot;: keep it), %2 the exit status.</extracomment>
        <translation>終了: %1 (ステータス %2)。</translation>
    </message>
    <message numerus="yes">
        <location line="+36"/>
        <source>%n units, %1 ended well, %2 did not (exit status %3).</source>
        <comment>%n unit, %1 ended well, %2 did not (exit status %3).</comment>
        <extracomment>The bench&apos;s last line: %n units in all, %1 of them ended well, %2 did not, %3 the exit status.</extracomment>
        <translation>
            <numerusform>%n 台中 %1 台が正常に終了し、%2 台は正常に終了しませんでした (終了ステータス %3)。</numerusform>
        </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1 before any adapter was found: nothing was done to any port.</source>
        <extracomment>%1 says what stopped the bench (&quot;Stopped after 5 s (--timeout)&quot;, &quot;Interrupted&quot;).</extracomment>
        <translation>アダプターが見つかる前に%1。どのポートにも何もしていません。</translation>
    </message>
    <message numerus="yes">
        <location line="+55"/>
        <source>Found %n adapters.</source>
        <comment>Found %n adapter.</comment>
        <translation>
            <numerusform>アダプターが %n 台見つかりました。</numerusform>
        </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Found the USB adapter: %1.</source>
        <extracomment>%1 the device path.</extracomment>
        <translation>USB アダプターが見つかりました: %1。</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>cannot write the report %1: %2. Nothing was done to any port.</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the report file, %2 the system&apos;s error text.</extracomment>
        <translation>レポート %1 を書き込めません: %2。どのポートにも何もしていません。</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>cannot keep the history %1: %2. Nothing was done to any port.</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the history file, %2 what went wrong.</extracomment>
        <translation>履歴 %1 を記録できません: %2。どのポートにも何もしていません。</translation>
    </message>
    <message>
        <location line="+11"/>
        <location filename="../run/UnitRun.cpp" line="+47"/>
        <source>Stopped after %1 s (--timeout)</source>
        <extracomment>%1 the --timeout seconds. Starts a sentence: &quot;… during the update: the QZ7 has no firmware now.&quot;</extracomment>
        <translation>%1 秒で停止しました (--timeout)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Looking for USB adapters.</source>
        <translation>USB アダプターを探しています。</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Looking for the USB adapter.</source>
        <translation>USB アダプターを探しています。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapters in and run again.</source>
        <translation>%1 秒以内に QZ7 が見つかりません: 使える USB アダプターがありませんでした。アダプターを接続して、もう一度実行してください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapter in and run again.</source>
        <translation>%1 秒以内に QZ7 が見つかりません: 使える USB アダプターがありませんでした。アダプターを接続して、もう一度実行してください。</translation>
    </message>
    <message>
        <location line="-251"/>
        <location filename="../terminal/BenchPrinter.cpp" line="+93"/>
        <source>Nothing was done to this port.</source>
        <translation>このポートには何もしていません。</translation>
    </message>
    <message>
        <location filename="../terminal/BenchPrinter.cpp" line="-52"/>
        <source>%1. Let the other units finish; then switch this QZ7 off, hold Run/Stop while you switch it on, and update it again on this port.</source>
        <extracomment>%1 the failure&apos;s headline (&quot;Not Erased&quot;).</extracomment>
        <translation>%1。他のユニットが終わるまで待ち、この QZ7 の電源を切ってから Run/Stop を押したまま電源を入れ、このポートでもう一度更新してください。</translation>
    </message>
    <message numerus="yes">
        <location line="+7"/>
        <source>Sending the firmware image (%n lines).</source>
        <comment>Sending the firmware image (%n line).</comment>
        <translation>
            <numerusform>ファームウェアイメージを送信しています (%n 行)。</numerusform>
        </translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Update to the older firmware? y (--yes --allow-older)</source>
        <extracomment>The question answered by the options: &quot;y&quot; stands for the answer, the options as they are.</extracomment>
        <translation>古いファームウェアに更新しますか? y (--yes --allow-older)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update? y (--yes)</source>
        <translation>更新しますか? y (--yes)</translation>
    </message>
    <message>
        <location filename="../run/BenchRun.cpp" line="+275"/>
        <source>Version %1, older than the %2 this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>バージョン %1 は本プログラムの %2 より古いです。何も消去していません (--check)。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Version %1, the one this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7.</extracomment>
        <translation>バージョン %1 は本プログラムと同じです。何も消去していません (--check)。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Version %1, newer than the %2 this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>バージョン %1 は本プログラムの %2 より新しいです。何も消去していません (--check)。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Version %1: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, which cannot be compared.</extracomment>
        <translation>バージョン %1: 何も消去していません (--check)。</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Version not found: nothing erased (--check).</source>
        <translation>バージョンが見つかりません: 何も消去していません (--check)。</translation>
    </message>
    <message>
        <location filename="../terminal/BenchPrinter.cpp" line="+19"/>
        <source>Already on %1: not updated (--skip-current).</source>
        <extracomment>%1 the firmware version.</extracomment>
        <translation>すでに %1 です: 更新していません (--skip-current)。</translation>
    </message>
    <message>
        <location filename="../core/RunRules.cpp" line="+84"/>
        <source>This QZ7 has %1, newer than %2: not updated. Use --allow-older to put %2 on it anyway.</source>
        <translation>この QZ7 には %2 より新しい %1 が入っています: 更新していません。それでも %2 を書き込むには --allow-older を使います。</translation>
    </message>
    <message numerus="yes">
        <location filename="../terminal/Terminal.cpp" line="+47"/>
        <source>Sending the firmware image (%n characters).</source>
        <comment>Sending the firmware image (%n character).</comment>
        <translation>
            <numerusform>ファームウェアイメージを送信しています (%n 文字)。</numerusform>
        </translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Not updated: the QZ7 was left as it was.</source>
        <translation>更新していません: QZ7 は元のままです。</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Update to the older firmware? [y/N]</source>
        <translation>古いファームウェアに更新しますか? [y/N]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Update? [y/N]</source>
        <translation>更新しますか? [y/N]</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Update to the older firmware? [y/N] y (--yes --allow-older)</source>
        <extracomment>The question answered by the options: &quot;y&quot; stands for the answer, the options as they are.</extracomment>
        <translation>古いファームウェアに更新しますか? [y/N] y (--yes --allow-older)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update? [y/N] y (--yes)</source>
        <translation>更新しますか? [y/N] y (--yes)</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>(answer too long)</source>
        <translation>(回答が長すぎます)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>(end of input)</source>
        <translation>(入力の終わり)</translation>
    </message>
    <message>
        <location filename="../run/Bounds.cpp" line="+41"/>
        <source>No QZ7 within %1 s: the port is open but nothing answered. Power on the QZ7 while holding Run/Stop.</source>
        <extracomment>%1 the --wait seconds (also in the next three texts).</extracomment>
        <translation>%1 秒以内に QZ7 が見つかりません: ポートは開いていますが、応答がありません。Run/Stop を押したまま QZ7 の電源を入れてください。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No QZ7 within %1 s: no permission to open the port (the line above says how to get it).</source>
        <translation>%1 秒以内に QZ7 が見つかりません: ポートを開く権限がありません (権限を得る方法は上の行を参照)。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No QZ7 within %1 s: the port is in use by another program. Close that program and run again.</source>
        <translation>%1 秒以内に QZ7 が見つかりません: ポートを別のプログラムが使用中です。そのプログラムを閉じて、もう一度実行してください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapter in (or check the path given with --port) and run again.</source>
        <translation>%1 秒以内に QZ7 が見つかりません: 使える USB アダプターがありませんでした。アダプターを接続して (または --port で指定したパスを確認して)、もう一度実行してください。</translation>
    </message>
    <message>
        <location filename="../core/RunRules.cpp" line="-20"/>
        <source>%1 during the update: the QZ7 has no firmware now. Power it on again while holding Run/Stop and update again.</source>
        <translation>%1 (更新中): 現在 QZ7 にはファームウェアがありません。Run/Stop を押したまま電源を入れ直し、もう一度更新してください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 before anything was erased: the QZ7 is as it was.</source>
        <translation>%1 (消去前): QZ7 は元のままです。</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>y yes</source>
        <extracomment>The words that answer yes at the terminal&apos;s &quot;[y/N]&quot; question, lower case, separated by spaces. Keep &quot;y yes&quot; and add the language&apos;s own short and long yes.</extracomment>
        <translation>y yes はい</translation>
    </message>
    <message>
        <location filename="../terminal/Terminal.h" line="+22"/>
        <source>Not updated: the port given with --port cannot be used (with --wait the updater waits for it). Nothing was done to any port.</source>
        <translation>更新していません: --port で指定したポートは使えません (--wait を付けると使えるまで待ちます)。どのポートにも何もしていません。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not updated: the port given with --port cannot be used: it is no terminal, and waiting does not make it one. Nothing was done to any port.</source>
        <translation>更新していません。--port で指定したポートは使えません。端末ではなく、待っても端末にはなりません。どのポートにも何もしていません。</translation>
    </message>
    <message>
        <location filename="../run/Bounds.cpp" line="+22"/>
        <source>The QZ7 is being programmed: stopping now would leave it without firmware. The update goes on; press Ctrl+C again within 5 s to stop.</source>
        <translation>QZ7 に書き込み中です。今停止すると QZ7 のファームウェアがなくなります。更新を続けます。停止するには 5 秒以内にもう一度 Ctrl+C を押してください。</translation>
    </message>
    <message>
        <location filename="../run/BenchRun.cpp" line="-107"/>
        <location filename="../run/UnitRun.cpp" line="+124"/>
        <source>Interrupted</source>
        <extracomment>Stopped by Ctrl+C or a signal. Starts a sentence: &quot;… during the update: …&quot;, &quot;… before anything was erased: …&quot;.</extracomment>
        <translation>中断しました</translation>
    </message>
    <message>
        <location filename="../run/Ledger.cpp" line="+118"/>
        <source>Last updated to %1 (Done) at %2: not updated again (--skip-done).</source>
        <extracomment>%1 the firmware version, %2 the time (UTC).</extracomment>
        <translation>%2 に %1 へ更新済み (Done) のため、再更新しません (--skip-done)。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The QZ7 %1 on %2 was left without firmware at %3; update it again.</source>
        <extracomment>%1 the unit&apos;s name, %2 its slot (the USB socket), %3 the time (UTC).</extracomment>
        <translation>%2 の QZ7 %1 は %3 にファームウェアのない状態で残されました。もう一度更新してください。</translation>
    </message>
    <message>
        <location filename="../run/History.cpp" line="+421"/>
        <source>%1  %2  unit %3  slot %4  operator %5  station %6  found %7  firmware %8  lines %9</source>
        <extracomment>--history: one record. %1 its time, %2 the outcome&apos;s name (&quot;done&quot;, kept as it is), %3 the unit, %4 the slot, %5 the operator, %6 the station, %7 the version found, %8 the firmware sent, %9 the lines sent. The labels are read by people; keep two spaces between fields.</extracomment>
        <translation>%1  %2  ユニット %3  スロット %4  作業者 %5  ステーション %6  検出 %7  ファームウェア %8  行数 %9</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>(erase asked for at %1, no end recorded)</source>
        <translation>(消去要求 %1、終了の記録なし)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1  passed %2  failed %3  first-pass yield %4 %  units per hour %5</source>
        <extracomment>--history --summary: one day. %1 the day, %2 passed, %3 failed, %4 the first-pass yield in per cent, %5 units per hour.</extracomment>
        <translation>%1  合格 %2  不合格 %3  初回合格率 %4 %  毎時台数 %5</translation>
    </message>
    <message>
        <location filename="../run/HistoryList.cpp" line="+17"/>
        <source>No records yet in %1.</source>
        <extracomment>%1 the history file.</extracomment>
        <translation>%1 にはまだ記録がありません。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>cannot read the history %1: %2</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the history file, %2 the error.</extracomment>
        <translation>履歴 %1 を読めません: %2</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>No records of %1.</source>
        <extracomment>%1 the unit&apos;s name.</extracomment>
        <translation>%1 の記録はありません。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No records.</source>
        <translation>記録はありません。</translation>
    </message>
    <message>
        <location filename="../terminal/PortList.cpp" line="+10"/>
        <location line="+38"/>
        <source>The serial ports could not be listed: the system&apos;s port enumeration did not start.</source>
        <translation>シリアルポートを一覧できませんでした。システムのポート列挙が開始しませんでした。</translation>
    </message>
    <message>
        <location line="-34"/>
        <source>No serial ports found. Plug in the USB serial adapter, or name a port with --port PATH.</source>
        <translation>シリアルポートが見つかりません。USB シリアルアダプターを接続するか、--port パス でポートを指定してください。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>no device path</source>
        <translation>デバイスパスなし</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>not considered (after the listing&apos;s end)</source>
        <translation>対象外 (一覧の終わりより後)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The updater would use %1: its name, %2, holds &quot;%3&quot;, and no later name holds &quot;usb&quot;, &quot;pl2303&quot; or &quot;serial&quot;.</source>
        <extracomment>--list: why the updater takes this port. %1 the path, %2 its name, %3 the word in it (&quot;usb&quot;).</extracomment>
        <translation>アップデーターは %1 を使います。名前 %2 が「%3」を含み、後の名前はどれも「usb」「pl2303」「serial」を含みません。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No name holds &quot;usb&quot;, &quot;pl2303&quot; or &quot;serial&quot;: the updater would wait for an adapter. Name the port with --port PATH to use it anyway.</source>
        <translation>「usb」「pl2303」「serial」を含む名前がありません。アップデーターはアダプターを待ちます。それでも使うには --port パス でポートを指定してください。</translation>
    </message>
    <message numerus="yes">
        <location filename="../run/Records.cpp" line="+145"/>
        <source>QZ7 Updater %1, firmware %2, %n lines, sha256 %3</source>
        <comment>QZ7 Updater %1, firmware %2, %n line, sha256 %3</comment>
        <extracomment>--version: %1 the program&apos;s version, %2 the firmware&apos;s (&quot;V2.007&quot;), %n its lines, %3 its sha256.</extracomment>
        <translation>
            <numerusform>QZ7 アップデーター %1、ファームウェア %2、%n 行、sha256 %3</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UpdaterWindow</name>
    <message>
        <location filename="../window/UpdaterWindow.cpp" line="+114"/>
        <source>Erases the QZ7 and sends it firmware V%1</source>
        <translation>QZ7 を消去し、ファームウェア V%1 を送信します</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Done</source>
        <translation>完了</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Failed</source>
        <translation>失敗</translation>
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
        <translation>%1% – %2</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>Keep updating</source>
        <translation>更新を続ける</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <location filename="../window/UpdaterWindow.h" line="+104"/>
        <source>QZ7 Updater</source>
        <translation>QZ7 アップデーター</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 is being programmed. Stopping now leaves it without firmware until it is updated again.</source>
        <translation>QZ7 に書き込み中です。今停止すると、もう一度更新するまで QZ7 にはファームウェアがありません。</translation>
    </message>
    <message>
        <location filename="../window/WindowFrontEnd.cpp" line="+122"/>
        <location line="+30"/>
        <source>Save report</source>
        <translation>レポートを保存</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>Report (*.tar.gz)</source>
        <translation>レポート (*.tar.gz)</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>The report could not be written to %1: %2.</source>
        <translation>レポートを %1 に書き込めませんでした: %2。</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>The history did not take this unit&apos;s record: %1.</source>
        <translation>この QZ7 の記録を履歴に書き込めませんでした: %1。</translation>
    </message>
    <message>
        <location filename="../app/main.cpp" line="+68"/>
        <source>The history %1 cannot be kept: %2. Nothing was done to any port.</source>
        <translation>履歴 %1 を記録できません: %2。どのポートにも何もしていません。</translation>
    </message>
</context>
<context>
    <name>Words</name>
    <message>
        <location filename="../core/Words.cpp" line="+81"/>
        <source>%1 %2</source>
        <extracomment>Two sentences in a row: the first (%1), then the next (%2).</extracomment>
        <translation>%1%2</translation>
    </message>
</context>
</TS>
