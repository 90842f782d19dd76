"""Everyday sentences per language, the speech material a phoneme set is learnt from.

Short, phonetically varied sentences, without numbers and without the command words the development
corpus uses, so that no unit is learnt from a word it is later measured on.
"""

SENTENCES = {
    'en': [
        'The birch canoe slid on the smooth planks.', 'Glue the sheet to the dark blue paper.',
        'It is easy to tell the depth of a well.', 'These days a chicken leg is a rare dish.',
        'Rice is often served in round bowls.', 'The juice of lemons makes fine punch.',
        'The box was thrown beside the parked truck.', 'The small pup gnawed a hole in the sock.',
    ],
    'it': [
        'Il gatto dorme tranquillo sul divano della nonna.', 'Domani mattina andremo al mercato a comprare frutta.',
        'La strada per il mare era piena di macchine.', 'Mio fratello suona la chitarra ogni sera.',
        'Le foglie gialle cadono lentamente dagli alberi.', 'Abbiamo mangiato una pizza buonissima ieri sera.',
    ],
    'fi': [
        'Kissa nukkuu lämpimällä ikkunalaudalla.', 'Huomenna menemme torille ostamaan marjoja.',
        'Järven rannalla kasvaa korkeita mäntyjä.', 'Veljeni soittaa kitaraa joka ilta.',
        'Syksyllä lehdet putoavat hitaasti puista.', 'Söimme eilen todella hyvää keittoa.',
    ],
    'cs': [
        'Kočka spí klidně na babiččině gauči.', 'Zítra ráno půjdeme na trh koupit ovoce.',
        'Cesta k řece byla plná kamenů.', 'Můj bratr hraje každý večer na kytaru.',
        'Žluté listí pomalu padá ze stromů.', 'Včera jsme jedli výbornou polévku.',
    ],
    'ca': [
        'El gat dorm tranquil al sofà de la iaia.', 'Demà al matí anirem al mercat a comprar fruita.',
        'El camí cap al mar era ple de cotxes.', 'El meu germà toca la guitarra cada vespre.',
        'Les fulles grogues cauen lentament dels arbres.', 'Ahir vam menjar una sopa boníssima.',
    ],
    'es': [
        'El gato duerme tranquilo en el sofá de la abuela.', 'Mañana por la mañana iremos al mercado a comprar fruta.',
        'El camino hacia el mar estaba lleno de coches.', 'Mi hermano toca la guitarra cada noche.',
        'Las hojas amarillas caen lentamente de los árboles.', 'Ayer comimos una sopa riquísima.',
    ],
    'pt': [
        'O gato dorme tranquilo no sofá da avó.', 'Amanhã de manhã vamos ao mercado comprar fruta.',
        'O caminho para o mar estava cheio de carros.', 'O meu irmão toca guitarra todas as noites.',
        'As folhas amarelas caem devagar das árvores.', 'Ontem comemos uma sopa deliciosa.',
    ],
    'fr': [
        'Le chat dort tranquillement sur le canapé de la grand-mère.', 'Demain matin nous irons au marché acheter des fruits.',
        'La route vers la mer était pleine de voitures.', 'Mon frère joue de la guitare chaque soir.',
        'Les feuilles jaunes tombent lentement des arbres.', 'Hier nous avons mangé une soupe délicieuse.',
    ],
    'de': [
        'Die Katze schläft ruhig auf dem Sofa der Großmutter.', 'Morgen früh gehen wir auf den Markt und kaufen Obst.',
        'Der Weg zum Meer war voller Autos.', 'Mein Bruder spielt jeden Abend Gitarre.',
        'Die gelben Blätter fallen langsam von den Bäumen.', 'Gestern haben wir eine köstliche Suppe gegessen.',
    ],
    'nl': [
        'De kat slaapt rustig op de bank van oma.', 'Morgenochtend gaan we naar de markt om fruit te kopen.',
        'De weg naar de zee stond vol met auto\'s.', 'Mijn broer speelt elke avond gitaar.',
        'De gele bladeren vallen langzaam van de bomen.', 'Gisteren aten we een heerlijke soep.',
    ],
    'sv': [
        'Katten sover lugnt på mormors soffa.', 'I morgon bitti går vi till torget och köper frukt.',
        'Vägen till havet var full av bilar.', 'Min bror spelar gitarr varje kväll.',
        'De gula löven faller långsamt från träden.', 'I går åt vi en jättegod soppa.',
    ],
    'pl': [
        'Kot śpi spokojnie na kanapie babci.', 'Jutro rano pójdziemy na targ kupić owoce.',
        'Droga nad morze była pełna samochodów.', 'Mój brat gra na gitarze każdego wieczoru.',
        'Żółte liście powoli spadają z drzew.', 'Wczoraj zjedliśmy pyszną zupę.',
    ],
    'hu': [
        'A macska nyugodtan alszik a nagymama kanapéján.', 'Holnap reggel elmegyünk a piacra gyümölcsöt venni.',
        'A tengerhez vezető út tele volt autókkal.', 'A bátyám minden este gitározik.',
        'A sárga levelek lassan hullanak a fákról.', 'Tegnap nagyon finom levest ettünk.',
    ],
    'tr': [
        'Kedi büyükannenin kanepesinde sakince uyuyor.', 'Yarın sabah meyve almak için pazara gideceğiz.',
        'Denize giden yol arabalarla doluydu.', 'Kardeşim her akşam gitar çalıyor.',
        'Sarı yapraklar ağaçlardan yavaşça düşüyor.', 'Dün çok lezzetli bir çorba yedik.',
    ],
    'el': [
        'Η γάτα κοιμάται ήσυχα στον καναπέ της γιαγιάς.', 'Αύριο το πρωί θα πάμε στην αγορά να αγοράσουμε φρούτα.',
        'Ο δρόμος προς τη θάλασσα ήταν γεμάτος αυτοκίνητα.', 'Ο αδερφός μου παίζει κιθάρα κάθε βράδυ.',
        'Τα κίτρινα φύλλα πέφτουν αργά από τα δέντρα.', 'Χθες φάγαμε μια νοστιμότατη σούπα.',
    ],
    'hi': [
        'बिल्ली दादी के सोफ़े पर आराम से सो रही है।', 'कल सुबह हम फल खरीदने बाज़ार जाएँगे।',
        'समुद्र की ओर जाने वाली सड़क गाड़ियों से भरी थी।', 'मेरा भाई हर शाम गिटार बजाता है।',
        'पीले पत्ते पेड़ों से धीरे धीरे गिरते हैं।', 'कल हमने बहुत स्वादिष्ट सूप खाया।',
    ],
    'mr': [
        'मांजर आजीच्या सोफ्यावर शांत झोपली आहे.', 'उद्या सकाळी आम्ही फळे घ्यायला बाजारात जाऊ.',
        'समुद्राकडे जाणारा रस्ता गाड्यांनी भरलेला होता.', 'माझा भाऊ रोज संध्याकाळी गिटार वाजवतो.',
        'पिवळी पाने झाडांवरून हळूहळू पडतात.', 'काल आम्ही खूप चविष्ट सूप खाल्ले.',
    ],
    'te': [
        'పిల్లి అమ్మమ్మ సోఫా మీద ప్రశాంతంగా నిద్రపోతోంది.', 'రేపు ఉదయం మేము పండ్లు కొనడానికి బజారుకు వెళ్తాము.',
        'సముద్రం వైపు వెళ్ళే దారి కార్లతో నిండి ఉంది.', 'మా అన్నయ్య ప్రతి సాయంత్రం గిటార్ వాయిస్తాడు.',
        'పసుపు ఆకులు చెట్ల నుండి నెమ్మదిగా రాలుతాయి.', 'నిన్న మేము చాలా రుచికరమైన సూప్ తాగాము.',
    ],
}
