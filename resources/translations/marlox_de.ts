<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_AT">
<context>
    <name>EditorApp</name>
    <message>
        <source>Edits the LMHOSTS file of a Windows installation: the static table of NetBIOS names and their IPv4 addresses.</source>
        <translation>Bearbeitet die LMHOSTS Datei einer Windows Installation: die feste Tabelle der NetBIOS Namen und ihrer IPv4 Adressen.</translation>
    </message>
    <message>
        <source>The LMHOSTS file to edit, under any name, or a Windows folder whose System32/drivers/etc/lmhosts is meant. Without it: the file below $SystemRoot, else in the Wine prefix ($WINEPREFIX or ~/.wine).</source>
        <translation>Die zu bearbeitende LMHOSTS Datei unter beliebigem Namen, oder ein Windows Ordner, dessen System32/drivers/etc/lmhosts gemeint ist. Ohne Angabe: die Datei unter $SystemRoot, sonst im Wine Präfix ($WINEPREFIX oder ~/.wine).</translation>
    </message>
    <message>
        <source>%1 is neither a file nor a folder.</source>
        <translation>%1 ist weder eine Datei noch ein Ordner.</translation>
    </message>
    <message>
        <source>The folder of %1 does not exist.</source>
        <translation>Der Ordner von %1 existiert nicht.</translation>
    </message>
</context>
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Marlox</source>
        <translation>Über Marlox</translation>
    </message>
    <message>
        <source>Marlox Version 1.0
English/German</source>
        <translation>Marlox Version 1.0
Deutsch/Englisch</translation>
    </message>
    <message>
        <source>Copyright © The Marlox developers</source>
        <translation>Copyright © Die Marlox-Entwickler</translation>
    </message>
    <message>
        <source>Contact: marlox@example.org</source>
        <translation>Kontakt: marlox@example.org</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License,
version 3 or later. It comes without any warranty.</source>
        <translation>Freie Software unter der GNU General Public License,
Version 3 oder später. Ohne jede Gewährleistung.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>EditorDialog</name>
    <message>
        <source>&amp;Hostname:</source>
        <translation>&amp;Rechnername:</translation>
    </message>
    <message>
        <source>&amp;IP Adress:</source>
        <translation>&amp;IP Addresse:</translation>
    </message>
    <message>
        <source>Lookup</source>
        <translation>&amp;Nachsehen</translation>
    </message>
    <message>
        <source>&amp;Domain:</source>
        <translation>&amp;Domäne:</translation>
    </message>
    <message>
        <source>&amp;Comment:</source>
        <translation>&amp;Kommentar:</translation>
    </message>
    <message>
        <source>&amp;Preload</source>
        <translation>automatisch &amp;Laden</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Save &amp;&amp; Exit</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>Strings</name>
    <message>
        <source>&amp;About Marlox...</source>
        <translation>Über &amp;Marlox...</translation>
    </message>
    <message>
        <source>Windows sockets initialization failed.</source>
        <translation>Fehler bei der Initialisierung von Winsock.</translation>
    </message>
    <message>
        <source>Do you realy want to delete %1 from your LMHOST file?</source>
        <translation>Wollen Sie %1 wirklich aus Ihrer LMHOST Datei löschen?</translation>
    </message>
    <message>
        <source>Cannot lookup adress, network is down.
Connect to your internet service provider or network and try again.</source>
        <translation>Addresse kann nicht ermittelt werden. Das Netzwerk ist nicht verfügbar.
Verbinden Sie zu Ihrem Internet Anbieter oder Netzwerk und versuchen Sie es nochmals.</translation>
    </message>
    <message>
        <source>Host specified by IP adress not found.
Maybe the adress is wrong or the host has no DNS entry.</source>
        <translation>Rechner mit angegebener IP Addresse kann nicht gefunden werden.
Möglicherweise ist die Addresse falsch oder der Rechner hat keinen DNS Eintrag.</translation>
    </message>
    <message>
        <source>Non-Authoritative Host not found, or server failure.
Check your network and try again.</source>
        <translation>NA Rechner nicht gefunden oder Server Fehler.
Überprüfen Sie ihre Netzwerkverbindung und versuchen Sie es nochmals.</translation>
    </message>
    <message>
        <source>Error requesting hostname from network.</source>
        <translation>Fehler bei der Namenssuche im Netzwerk.</translation>
    </message>
    <message>
        <source>Hostname</source>
        <translation>Rechnername</translation>
    </message>
    <message>
        <source>Domain</source>
        <translation>Domäne</translation>
    </message>
    <message>
        <source>IP Adress</source>
        <translation>IP Addresse</translation>
    </message>
    <message>
        <source>Preload</source>
        <translation>autom. Laden</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>The file %1 has been changed by another program since it was read.
Do you want to overwrite it?</source>
        <translation>Die Datei %1 wurde seit dem Einlesen von einem anderen Programm geändert.
Wollen Sie sie überschreiben?</translation>
    </message>
    <message>
        <source>Cannot open %1 for reading:
%2</source>
        <translation>%1 kann nicht zum Lesen geöffnet werden:
%2</translation>
    </message>
    <message>
        <source>Cannot read %1:
%2</source>
        <translation>%1 kann nicht gelesen werden:
%2</translation>
    </message>
    <message>
        <source>Cannot open %1 for writing:
%2</source>
        <translation>%1 kann nicht zum Schreiben geöffnet werden:
%2</translation>
    </message>
    <message>
        <source>Cannot write %1:
%2</source>
        <translation>%1 kann nicht geschrieben werden:
%2</translation>
    </message>
    <message>
        <source>Please enter an integer.</source>
        <translation>Bitte geben Sie eine ganze Zahl ein.</translation>
    </message>
    <message>
        <source>Please enter an integer between 0 and 255.</source>
        <translation>Bitte geben Sie eine ganze Zahl zwischen 0 und 255 ein.</translation>
    </message>
    <message>
        <source>Please enter no more than 512 characters.</source>
        <translation>Bitte geben Sie höchstens 512 Zeichen ein.</translation>
    </message>
    <message>
        <source>The character &quot;%1&quot; cannot be stored in the LMHOSTS file, because the file is written in %2.</source>
        <translation>Das Zeichen „%1“ kann nicht in der LMHOSTS Datei gespeichert werden, weil die Datei in %2 geschrieben ist.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Es ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>The file is too large: it has more than 1 GiB, or more than the memory can hold.</source>
        <translation>Die Datei ist zu groß: sie hat mehr als 1 GiB oder mehr, als der Speicher fassen kann.</translation>
    </message>
    <message>
        <source>The file is written in UTF-16 (&quot;Unicode&quot;), which Marlox cannot edit. Save it as ANSI or UTF-8 with a text editor first.</source>
        <translation>Die Datei ist in UTF-16 („Unicode“) geschrieben, das Marlox nicht bearbeiten kann. Speichern Sie sie zuerst mit einem Texteditor als ANSI oder UTF-8.</translation>
    </message>
    <message>
        <source>Another program keeps the file locked. Try again later.</source>
        <translation>Ein anderes Programm hält die Datei gesperrt. Versuchen Sie es später noch einmal.</translation>
    </message>
    <message>
        <source>The file %1 could not be read when Marlox started, so its content is not in the list.
Do you want to replace it with the entries shown?</source>
        <translation>Die Datei %1 konnte beim Start von Marlox nicht gelesen werden, ihr Inhalt fehlt daher in der Liste.
Wollen Sie sie durch die angezeigten Einträge ersetzen?</translation>
    </message>
    <message>
        <source>The name has %1 characters, but a NetBIOS name has at most 15.</source>
        <translation>Der Name hat %1 Zeichen, ein NetBIOS-Name hat aber höchstens 15.</translation>
    </message>
    <message>
        <source>With its \0xNN code the name makes %1 bytes, but Windows needs exactly 16: 15 characters, padded with blanks, and the code.</source>
        <translation>Mit seinem \0xNN-Code ergibt der Name %1 Bytes, Windows braucht aber genau 16: 15 mit Leerzeichen aufgefüllte Zeichen und den Code.</translation>
    </message>
    <message>
        <source>The entry has no name. Enter one, or delete the entry.</source>
        <translation>Der Eintrag hat keinen Namen. Geben Sie einen ein oder löschen Sie den Eintrag.</translation>
    </message>
    <message>
        <source>The entry with the address %1 has the same name, but comes later: Windows uses this entry and never that one.</source>
        <translation>Der Eintrag mit der Adresse %1 hat denselben Namen, steht aber weiter unten: Windows verwendet diesen Eintrag und jenen nie.</translation>
    </message>
    <message>
        <source>%2 later entries have the same name, the first with the address %1: Windows uses this entry and never those.</source>
        <translation>%2 spätere Einträge haben denselben Namen, der erste mit der Adresse %1: Windows verwendet diesen Eintrag und jene nie.</translation>
    </message>
    <message>
        <source>Windows never uses this entry: the earlier entry with the address %1 has the same name.</source>
        <translation>Windows verwendet diesen Eintrag nie: der frühere Eintrag mit der Adresse %1 hat denselben Namen.</translation>
    </message>
    <message>
        <source>#DOM: needs #PRE on the same line, otherwise Windows does not preload the entry.</source>
        <translation>#DOM: braucht #PRE in derselben Zeile, sonst lädt Windows den Eintrag nicht im Voraus.</translation>
    </message>
    <message>
        <source>The line cannot hold this entry as it is; Windows will read it as: %1.</source>
        <translation>Die Zeile kann diesen Eintrag so nicht fassen; Windows wird sie so lesen: %1.</translation>
    </message>
    <message>
        <source>address %1</source>
        <translation>Adresse %1</translation>
    </message>
    <message>
        <source>name &quot;%1&quot;</source>
        <translation>Name „%1“</translation>
    </message>
    <message>
        <source>with #PRE</source>
        <translation>mit #PRE</translation>
    </message>
    <message>
        <source>without #PRE</source>
        <translation>ohne #PRE</translation>
    </message>
    <message>
        <source>domain &quot;%1&quot;</source>
        <translation>Domäne „%1“</translation>
    </message>
    <message>
        <source>comment &quot;%1&quot;</source>
        <translation>Kommentar „%1“</translation>
    </message>
    <message>
        <source>The address %1 has a part outside 0 to 255.</source>
        <translation>Die Adresse %1 hat einen Teil außerhalb von 0 bis 255.</translation>
    </message>
    <message>
        <source>Line %1: #INCLUDE reads from the server %2, but no earlier line maps %2 with #PRE, so Windows cannot find it.</source>
        <translation>Zeile %1: #INCLUDE liest vom Server %2, aber keine frühere Zeile ordnet %2 mit #PRE zu, daher findet Windows ihn nicht.</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>Suchen:</translation>
    </message>
    <message>
        <source>Find in the host table</source>
        <translation>In der Rechnertabelle suchen</translation>
    </message>
    <message>
        <source>1 warning</source>
        <translation>1 Warnung</translation>
    </message>
    <message>
        <source>%1 warnings</source>
        <translation>%1 Warnungen</translation>
    </message>
    <message>
        <source>Go to the next entry with a warning (F8)</source>
        <translation>Zum nächsten Eintrag mit einer Warnung gehen (F8)</translation>
    </message>
    <message>
        <source>Look up the &amp;DNS name</source>
        <translation>&amp;DNS Namen abfragen</translation>
    </message>
    <message>
        <source>Look up the &amp;NetBIOS name</source>
        <translation>&amp;NetBIOS Namen abfragen</translation>
    </message>
    <message>
        <source>No answer from %1 to a NetBIOS name query.
The host may be down, or it does not answer NetBIOS queries (UDP port 137).</source>
        <translation>Keine Antwort von %1 auf eine NetBIOS Namensabfrage.
Der Rechner ist vielleicht nicht erreichbar oder beantwortet keine NetBIOS Abfragen (UDP Port 137).</translation>
    </message>
    <message>
        <source>The host at %1 answered, but named no workstation.</source>
        <translation>Der Rechner mit %1 hat geantwortet, aber keinen Arbeitsstationsnamen genannt.</translation>
    </message>
    <message>
        <source>Cannot look up the NetBIOS name, the network is down.
Connect to your network and try again.</source>
        <translation>Der NetBIOS Name kann nicht ermittelt werden, das Netzwerk ist nicht verfügbar.
Verbinden Sie sich mit Ihrem Netzwerk und versuchen Sie es nochmals.</translation>
    </message>
    <message>
        <source>Host table</source>
        <translation>Rechnertabelle</translation>
    </message>
    <message>
        <source>First part of the IP address</source>
        <translation>Erster Teil der IP Adresse</translation>
    </message>
    <message>
        <source>Second part of the IP address</source>
        <translation>Zweiter Teil der IP Adresse</translation>
    </message>
    <message>
        <source>Third part of the IP address</source>
        <translation>Dritter Teil der IP Adresse</translation>
    </message>
    <message>
        <source>Fourth part of the IP address</source>
        <translation>Vierter Teil der IP Adresse</translation>
    </message>
    <message>
        <source>Also on its line: %1</source>
        <translation>Außerdem in seiner Zeile: %1</translation>
    </message>
</context>
</TS>
