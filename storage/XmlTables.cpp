#include "storage/XmlTables.h"

namespace xmltables {

// The alias names registered for the Windows code pages.
const wchar_t* const kEncodingAliasBuckets[155] = {
    L"0800949ksc_56010620423ibm423",
    L"0600037ibm0370920003x-cp200030920108ns_4551-10620280ibm2800620424ibm4241951932cseucpkdfmtjapanese",
    L"1801145ebcdic-es-284+euro0920004x-cp200040620290ibm2900228591l1",
    L"03004374371801144ebcdic-it-280+euro0920005x-cp200050620273ibm2730228592l2",
    L"0600850ibm8500820838ibm-thai0228593l3",
    L"0600437ibm4370600860ibm8601801143ebcdic-se-278+euro0620284ibm2840620905ibm9050228594l4",
    L"0600852ibm8520600861ibm8610600870ibm8701801147ebcdic-fr-297+euro0620285ibm2850228599l5",
    L"0600862ibm8621010021x-mac-thai0620127ibm3670920261x-cp202610620277ibm2770620871ibm8710620880ibm880",
    L"0600737ibm7370600863ibm8630500869cp-gr1801149ebcdic-is-871+euro0620278ibm2781057003x-iscii-be",
    L"0600855ibm8550600864ibm8641801142ebcdic-no-277+euro0620297ibm2970628591ibm819",
    L"0600775ibm7750600865ibm8651028591iso-ir-1000228605l91350225iso-2022-kr-71057002x-iscii-de",
    L"0600857ibm8570600866ibm8661028592iso-ir-1011028594iso-ir-1101351949iso-2022-kr-8",
    L"0950227x-cp50227",
    L"0320866koi1628598csisolatinhebrew1057008x-iscii-ka",
    L"1200037ebcdic-cp-ca0600869ibm8691000950big5-hkscs1220106x-ia5-german0620106german",
    L"0920269x-cp202691057009x-iscii-ma",
    L"0800708asmo-7080612000utf-320920936x-cp209361765000unicode-1-1-utf-71765000unicode-2-0-utf-7",
    L"1200500ebcdic-cp-be0628598hebrew0551932x-euc1765001unicode-1-1-utf-81765001unicode-2-0-utf-8",
    L"0601200utf-160920838csibmthai1028595iso-ir-1441028597iso-ir-1261057011x-iscii-pa",
    L"1501200iso-10646-ucs-21220285ebcdic-cp-gb1028593iso-ir-1091028596iso-ir-1271650225iso-2022-kr-7bit",
    L"0600949korean0920949x-cp209491128605iso_8859-151651949iso-2022-kr-8bit",
    L"1200500ebcdic-cp-ch1028598iso-ir-1381057006x-iscii-as",
    L"1028599iso-ir-1481057004x-iscii-ta",
    L"1000949iso-ir-1490820127us-ascii1220424ebcdic-cp-he",
    L"",
    L"1000936gb_2312-801220277ebcdic-cp-dk1220278ebcdic-cp-fi",
    L"1300949csksc560119871057005x-iscii-te1965000x-unicode-1-1-utf-71965000x-unicode-2-0-utf-7",
    L"0320105irv0928591iso8859-11550001_autodetect_all1965001x-unicode-1-1-utf-81965001x-unicode-2-0-utf-8",
    L"1000932x-ms-cp9321420002x-chinese_eten0520866koi8r0928592iso8859-2",
    L"1320000x-chinese-cns1057010x-iscii-gu",
    L"",
    L"1150221csiso2022jp",
    L"",
    L"0900932shift_jis",
    L"1500870ebcdic-cp-roece1220278ebcdic-cp-se1220284ebcdic-cp-es1220297ebcdic-cp-fr1150225csiso2022kr1057007x-iscii-or",
    L"1220423ebcdic-cp-gr0721866koi8-ru",
    L"1200037ebcdic-cp-nl0910000macintosh",
    L"",
    L"1220871ebcdic-cp-is",
    L"1220277ebcdic-cp-no1220280ebcdic-cp-it",
    L"0800936gb2312801210004x-mac-arabic1520108x-ia5-norwegian0920108norwegian0628598visual",
    L"",
    L"0829001x-europa",
    L"1650221_iso-2022-jp$esc",
    L"1510079x-mac-icelandic",
    L"0920106din_660031128591csisolatin1",
    L"1128592csisolatin2",
    L"1400949ks_c_5601-19871128593csisolatin3",
    L"0701026ibm10261220905ebcdic-cp-tr1128594csisolatin4",
    L"1400949ks_c_5601-19890400950big51128599csisolatin5",
    L"1200037ebcdic-cp-us0500500cp5001565000csunicode11utf7",
    L"0501361johab0520420cp420",
    L"",
    L"1200037ebcdic-cp-wt1310081x-mac-turkish1128605csisolatin9",
    L"0520423cp423",
    L"0500037cp0370800500csibm5000520280cp2800520424cp424",
    L"1200870ebcdic-cp-yu0520127ascii0520290cp2900820420csibm420",
    L"1100874windows-8740520273cp2731528597csisolatingreek",
    L"0500850cp850",
    L"0500437cp4370700720dos-7200500860cp8600500932cp9320500950cp9500520284cp2840820423csibm4230520905cp9051650222_iso-2022-jp$sio",
    L"0800037csibm0370500852cp8520500861cp8610500870cp8700700949ksc56010812001utf-32be0820280csibm2800520285cp2850820424csibm424",
    L"0500862cp8620520127cp3670820290csibm2900520871cp8710520880cp8800528597greek",
    L"0500863cp8630801201utf-16be0820273csibm2730520278cp2781150220iso-2022-jp",
    L"0500855cp8550500864cp8640500936cp9360520297cp2970528591cp8194551932extended_unix_code_packed_format_for_japanese",
    L"0500865cp8650820284csibm2840820905csibm905",
    L"0500857cp8570500866cp8660800870csibm8700500875cp8751101201unicodefffe0820285csibm2851150225iso-2022-kr",
    L"0500858cp8580700862dos-8620820277csibm2770820871csibm8710820880csibm880",
    L"0500949cp9491210005x-mac-hebrew0820278csibm278",
    L"1600437cspc8codepage4370500869cp8690700874tis-6200820297csibm2971920924ebcdic-latin9--euro",
    L"0700874dos-8740800932ms_kanji0800950x-x-big50420866koi81451932iso-2022-jpeuc",
    L"1210003x-mac-korean0812000utf-32le",
    L"",
    L"0801200utf-16le1028591iso-8859-1",
    L"0620866koi8-r1028592iso-8859-2",
    L"1500936csiso58gb2312800820127iso-ir-61028593iso-8859-30828597elot_9281238598iso-8859-8-i",
    L"1028594iso-8859-4",
    L"0621866koi8-u1028595iso-8859-5",
    L"2400858pc-multilingual-850+euro0220127us1028596iso-8859-6",
    L"1320420ebcdic-cp-ar11028597iso-8859-7",
    L"1320000x-chinese_cns1028598iso-8859-8",
    L"1828595csisolatincyrillic1028599iso-8859-9",
    L"1420290ebcdic-jp-kana0465001utf8",
    L"1510017x-mac-ukrainian",
    L"",
    L"0828595cyrillic1150932_autodetect",
    L"0900936gb2312-80",
    L"",
    L"0720866cskoi8r1528591iso_8859-1:1987",
    L"1528592iso_8859-2:1987",
    L"",
    L"1528593iso_8859-3:19881450949_autodetect_kr",
    L"0600936gb23121528594iso_8859-4:1988",
    L"2901148ebcdic-international-500+euro1528595iso_8859-5:19881528596iso_8859-6:1987",
    L"0801140ibm011401528597iso_8859-7:1987",
    L"0801141ibm011411201250windows-1250",
    L"0900949ks_c_56010801142ibm011421201251windows-12510810029x-mac-ce1528598iso_8859-8:1988",
    L"0801143ibm011431201252windows-1252",
    L"1400949ks_c_5601_19870801144ibm011441201253windows-12531528599iso_8859-9:19891052936hz-gb-2312",
    L"0801145ibm011451201254windows-1254",
    L"1000936csgb2312800801047ibm010470801146ibm011461201255windows-1255",
    L"0801147ibm011471201256windows-1256",
    L"0801148ibm011480601250cp12501201257windows-12570621025cp1025",
    L"0601026cp10260801149ibm011490601251cp12511201258windows-12580820924ibm00924",
    L"0601252cp1252",
    L"0601253cp1253",
    L"0800949ks-c56010601254cp1254",
    L"0600936euc-cn0601255cp1255",
    L"0901026csibm10260601256cp1256",
    L"0800858ibm008580600950csbig50601257cp1257",
    L"0601258cp1258",
    L"0520105x-ia5",
    L"0801250x-cp12501110006x-mac-greek1520880ebcdic-cyrillic0728598logical",
    L"0801251x-cp1251",
    L"",
    L"1200932cswindows31j1410001x-mac-japanese",
    L"0700936chinese0720127csascii0651932euc-jp",
    L"0800936x-euc-cn0501200ucs-2",
    L"0628597greek8",
    L"0651949euc-kr",
    L"",
    L"0628591latin1",
    L"1100874iso-8859-111701140ebcdic-us-37+euro0628592latin2",
    L"1420127ansi_x3.4-19681420127ansi_x3.4-19861028591iso_8859-10628593latin3",
    L"0701200unicode1028592iso_8859-20628594latin41128603iso-8859-13",
    L"1410082x-mac-croatian1028593iso_8859-30628599latin5",
    L"1028594iso_8859-41128605iso-8859-150851932x-euc-jp0565000utf-7",
    L"1028595iso_8859-50565001utf-8",
    L"0601252x-ansi1710002x-mac-chinesetrad1028596iso_8859-6",
    L"1410010x-mac-romanian1028597iso_8859-70628605latin9",
    L"0900936iso-ir-581028598iso_8859-8",
    L"1028599iso_8859-9",
    L"0400932sjis2320833x-ebcdic-koreanextended",
    L"0751949cseuckr",
    L"1420002x-chinese-eten",
    L"1410007x-mac-cyrillic",
    L"",
    L"0828596ecma-1141450000x-user-defined",
    L"",
    L"0900932shift-jis",
    L"1320107x-ia5-swedish0720107swedish",
    L"1801141ebcdic-de-273+euro0828597ecma-118",
    L"0600932x-sjis1710008x-mac-chinesesimp1628596csisolatinarabic",
    L"1220107sen_850200_b",
    L"1801146ebcdic-gb-285+euro0754936gb18030",
    L"",
    L"0500936cn-gb0628596arabic",
    L"",
    L"",
    L"0700950cn-big50920127iso646-us",
    L"",
    L"0800936csgb23120900949ks-c-56011801142ebcdic-dk-277+euro",
    L"0600500ibm5001801143ebcdic-fi-278+euro1728598iso-8859-8 visual",
    L"1000932csshiftjis0620420ibm420",
    L"0300936gbk0765001cp65001",
    L"0920001x-cp200011620127iso_646.irv:1991",
};

// HTML 4.01 character entities (Latin-1, symbols and special characters) plus "apos".
const wchar_t* const kEntityBuckets[130] = {
    L"60248oslash60249ugrave",
    L"60253yacute50969omega58968lceil",
    L"50238icirc50948delta68472weierp",
    L"40185sup148659dArr",
    L"40178sup268970lfloor",
    L"60164curren40179sup350222THORN50954kappa58212mdash",
    L"59830diams58211ndash",
    L"40921Iota48660hArr68855otimes58969rceil",
    L"50244ocirc58482trade50339oelig",
    L"40196Auml50229aring50963sigma",
    L"50180acute68971rfloor50732tilde",
    L"48656lArr68249lsaquo",
    L"58734infin68201thinsp",
    L"50161iexcl40203Euml",
    L"50251ucirc40918Zeta50952theta",
    L"58254oline",
    L"30935Chi58260frasl68727lowast",
    L"60191iquest40207Iuml48658rArr59827clubs68250rsaquo",
    L"50181micro58629crarr",
    L"58222bdquo",
    L"48657uArr",
    L"60177plusmn58242prime",
    L"30919Eta40946beta",
    L"40214Ouml",
    L"",
    L"",
    L"50171laquo50215times",
    L"40710circ",
    L"49001lang",
    L"40175macr40220Uuml30934Phi58220ldquo",
    L"50163pound40182para48476real",
    L"",
    L"50187raquo58713notin",
    L"50223szlig50978upsih48773cong40376Yuml",
    L"58776asymp58801equiv49002rang58218sbquo",
    L"50254thorn40402fnof48595darr58221rdquo",
    L"40162cent58722minus",
    L"40170ordf30929Rho58707exist",
    L"30932Tau",
    L"40953iota48596harr58709empty",
    L"30936Psi",
    L"40167sect40228auml48226bull48838sube",
    L"",
    L"48592larr58853oplus",
    L"30176deg40186ordm58216lsquo",
    L"40160nbsp40235euml48712isin40039apos",
    L"40950zeta",
    L"48719prod38743and48195emsp",
    L"30967chi38745cap48194ensp",
    L"40239iuml48594rarr48706part48869perp",
    L"38736ang48836nsub58217rsquo",
    L"",
    L"48593uarr48901sdot",
    L"40169copy48364euro",
    L"30951eta",
    L"40246ouml20928Pi48839supe",
    L"",
    L"60923Lambda",
    L"30174reg30038amp",
    L"48733prop",
    L"50198AElig60199Ccedil",
    L"30240eth40252uuml30966phi",
    L"",
    L"20926Xi",
    L"20924Mu",
    L"40255yuml20925Nu",
    L"68225Dagger",
    L"40034quot48204zwnj",
    L"38746cup68756there4",
    L"30961rho38764sim",
    L"30964tau38834sub",
    L"38747int38206lrm38207rlm",
    L"30165yen30968psi",
    L"",
    L"30168uml28805ge50338OElig",
    L"60193Aacute60195Atilde30982piv",
    L"",
    L"30172not70927Omicron",
    L"60192Agrave",
    L"60201Eacute28804le",
    L"30173shy70917Epsilon",
    L"38721sum28800ne39674loz",
    L"60200Egrave",
    L"60205Iacute",
    L"38835sup",
    L"28715ni",
    L"60204Igrave",
    L"20960pi38205zwj",
    L"60209Ntilde",
    L"60211Oacute60213Otilde60955lambda20062gt",
    L"",
    L"",
    L"50194Acirc60210Ograve60231ccedil",
    L"50915Gamma",
    L"20060lt60352Scaron",
    L"30208ETH60218Uacute20958xi28744or",
    L"50202Ecirc50913Alpha70933Upsilon20956mu",
    L"20957nu",
    L"60216Oslash60217Ugrave68224dagger",
    L"60221Yacute50937Omega80977thetasym",
    L"50206Icirc50916Delta",
    L"",
    L"",
    L"50922Kappa78501alefsym",
    L"",
    L"",
    L"50212Ocirc",
    L"50197Aring60225aacute60227atilde50931Sigma",
    L"",
    L"60247divide70959omicron",
    L"60224agrave",
    L"60233eacute60962sigmaf",
    L"50219Ucirc50920Theta70949epsilon",
    L"",
    L"60232egrave",
    L"60237iacute",
    L"",
    L"",
    L"60236igrave68230hellip",
    L"60166brvbar58243Prime",
    L"60241ntilde40914Beta68704forall58711nabla69824spades",
    L"60183middot60189frac1260243oacute60245otilde",
    L"",
    L"50184cedil60188frac14",
    L"50226acirc50230aelig60242ograve",
    L"60190frac3450947gamma58465image58730radic",
    L"60353scaron",
    L"60250uacute69829hearts",
    L"50234ecirc50945alpha70965upsilon",
    L"68240permil",
};

namespace {

unsigned Digits(const wchar_t* p, int count)
{
    unsigned v = 0;
    for (int i = 0; i < count; ++i)
        v = v * 10 + static_cast<unsigned>(p[i] - L'0');
    return v;
}

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

} // namespace

int LookupCodePage(const wchar_t* name, size_t length)
{
    if (!name || length == 0 || length >= 100)
        return -1;
    unsigned sum = 0;
    for (size_t i = 0; i < length; ++i)
        sum += FoldAscii(name[i]);
    for (const wchar_t* p = kEncodingAliasBuckets[sum % kAliasBucketCount]; *p;) {
        size_t n = Digits(p, 2);
        const wchar_t* entry = p + 7;
        if (n == length) {
            size_t i = 0;
            while (i < n && entry[i] == FoldAscii(name[i]))
                ++i;
            if (i == n)
                return static_cast<int>(Digits(p + 2, 5));
        }
        p = entry + n;
    }
    return -1;
}

unsigned LookupEntity(const wchar_t* name, size_t length)
{
    if (!name || length == 0 || length > 9)
        return 0;
    unsigned sum = 0;
    for (size_t i = 0; i < length; ++i)
        sum += name[i];
    for (const wchar_t* p = kEntityBuckets[sum % kEntityBucketCount]; *p;) {
        size_t n = static_cast<size_t>(p[0] - L'0');
        const wchar_t* entry = p + 5;
        if (n == length) {
            size_t i = 0;
            while (i < n && entry[i] == name[i])
                ++i;
            if (i == n)
                return Digits(p + 1, 4);
        }
        p = entry + n;
    }
    return 0;
}

} // namespace xmltables
